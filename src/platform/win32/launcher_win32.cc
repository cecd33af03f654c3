// The system headers name macros after the seam's methods; the calls below
// use the wide functions by their own names.
#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>
#undef CreateProcess
#undef FindExecutable

#include "platform/win32/launcher_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {

int Win32Launcher::FindExecutable(const std::string& file, const std::string& directory,
                                  std::string& program) {
  wchar_t found[MAX_PATH + 1] = {};
  const std::wstring folder = Widen(directory);
  const auto result = reinterpret_cast<INT_PTR>(
      FindExecutableW(Widen(file).c_str(), folder.empty() ? nullptr : folder.c_str(), found));
  if (result > 32) program = Narrow(found);
  return static_cast<int>(result);
}

std::optional<uint32_t> Win32Launcher::CreateProcess(const std::string& commandLine,
                                                     int windowStyle) {
  std::wstring line = Widen(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // No handle of ours, not even the standard ones: a caller reading our
  // output sees its end when we end, not when the started program does.
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  PROCESS_INFORMATION process{};
  if (line.empty() || !CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process)) {
    return std::nullopt;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<uint32_t>(process.dwProcessId);
}

}  // namespace kelvane::win32
