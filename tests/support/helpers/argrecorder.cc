// Records how it was started, for the tests of starting programs: the
// working folder and then each argument, one per line, into the file named
// by KELVANE_ARGRECORD (written whole, then renamed into place). While the
// file named by KELVANE_HOLD exists it keeps running (at most 60 s), so
// tests can look for it among the running processes.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (const char* record = std::getenv("KELVANE_ARGRECORD")) {
    const fs::path target = fs::path(record);
    fs::path temp = target;
    temp += ".tmp";
    {
      std::ofstream out(temp, std::ios::binary);
      out << fs::current_path().string() << '\n';
      for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
    }
    std::error_code ignored;
    fs::rename(temp, target, ignored);
  }
  if (const char* hold = std::getenv("KELVANE_HOLD")) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fs::exists(fs::path(hold)) && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  return 0;
}
