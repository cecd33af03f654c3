#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {

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

bool Win32FileSystem::Delete(const std::string& path) { return DeleteFileW(Widen(path).c_str()); }

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
  return CopyFileW(Widen(source).c_str(), Widen(dest).c_str(), TRUE);  // fail if it exists
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
