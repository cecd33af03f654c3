#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

class MutexLock : public FileLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    if (!mutex_) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

// A mutex name for a file: its full path, upper-cased as the file system
// compares names; a name too long for the object manager is hashed.
std::wstring MutexName(const std::string& path) {
  std::wstring full(MAX_PATH * 4, L'\0');
  const std::wstring wide = Widen(path);
  DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  full.resize(n > 0 && n < full.size() ? n : 0);
  if (full.empty()) full = wide;
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  for (wchar_t& c : full)
    if (c == L'\\') c = L'/';  // a backslash would name a namespace
  if (full.size() > 200) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t c : full) hash = (hash ^ c) * 1099511628211ull;
    full.assign(16, L'0');
    for (wchar_t& digit : full) {
      digit = L"0123456789abcdef"[hash >> 60];
      hash <<= 4;
    }
  }
  return L"Local\\Kelvane:" + full;
}

}  // namespace

bool Win32FileSystem::Failed() {
  lastError_ = GetLastError();
  return false;
}

std::string Win32FileSystem::LastError() {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, lastError_, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", n);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(lastError_) : Narrow(message);
}

bool Win32FileSystem::IsPresent(const std::string& path) {
  const std::wstring wide = Widen(path);
  // A wildcard would make the lookup find some other file.
  if (wide.empty() || wide.find_first_of(L"*?") != std::wstring::npos) return false;
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW(wide.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  const DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & excluded) == 0;
}

std::optional<uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

bool Win32FileSystem::Delete(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) || Failed();
}

bool Win32FileSystem::Remove(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteFileW(wide.c_str());
}

bool Win32FileSystem::Copy(const std::string& source, const std::string& dest) {
  // Fails if `dest` exists.
  return CopyFileW(Widen(source).c_str(), Widen(dest).c_str(), TRUE) || Failed();
}

bool Win32FileSystem::Rename(const std::string& source, const std::string& dest) {
  // Without MOVEFILE_REPLACE_EXISTING an existing `dest` is kept.
  return MoveFileExW(Widen(source).c_str(), Widen(dest).c_str(), MOVEFILE_WRITE_THROUGH) ||
         Failed();
}

bool Win32FileSystem::Sync(const std::string& path) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed();
  const bool ok = FlushFileBuffers(file) || Failed();
  CloseHandle(file);
  return ok;
}

std::unique_ptr<FileLock> Win32FileSystem::TryLock(const std::string& path, int milliseconds) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(path).c_str());
  if (!mutex) return std::make_unique<MutexLock>(nullptr);  // no lock to be had
  const DWORD state = WaitForSingleObject(mutex, static_cast<DWORD>(milliseconds));
  if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED) return std::make_unique<MutexLock>(mutex);
  CloseHandle(mutex);
  return nullptr;
}

std::optional<std::string> Win32FileSystem::Read(const std::string& path) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> bytes(std::in_place);
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
      bytes.reset();
      break;
    }
    if (n == 0) break;
    bytes->append(buffer.data(), n);
  }
  CloseHandle(file);
  return bytes;
}

std::optional<std::string> Win32FileSystem::ReadPart(const std::string& path, uint64_t offset,
                                                     size_t size) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  std::optional<std::string> bytes(std::in_place, size, '\0');
  size_t got = 0;
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) bytes.reset();
  while (bytes && got < size) {
    DWORD n = 0;
    if (!ReadFile(file, bytes->data() + got, static_cast<DWORD>(size - got), &n, nullptr))
      bytes.reset();
    else if (n == 0)
      break;
    got += n;
  }
  if (bytes) bytes->resize(got);
  CloseHandle(file);
  return bytes;
}

bool Win32FileSystem::Write(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr) &&
                                    written == bytes.size());
  return CloseHandle(file) && ok;
}

std::string Win32FileSystem::CurrentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, folder.data());
  folder.resize(n < size ? n : 0);
  return Narrow(folder);
}

bool Win32FileSystem::SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && SetCurrentDirectoryW(Widen(folder).c_str());
}

bool Win32FileSystem::SetCurrentDrive(char drive) {
  const wchar_t letter[] = {static_cast<wchar_t>(drive), L':', L'\0'};
  return SetCurrentDirectoryW(letter);
}

}  // namespace kelvane::win32
