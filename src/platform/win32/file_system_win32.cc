#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include <vector>

#include "common/paths.h"
#include "common/temporary_name.h"
#include "platform/win32/partial_file_win32.h"
#include "platform/win32/system_message_win32.h"
#include "platform/win32/unique_handle_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

class MutexLock : public FileLock {
 public:
  explicit MutexLock(UniqueHandle mutex) : mutex_(std::move(mutex)) {}
  ~MutexLock() override {
    if (mutex_.Valid()) ReleaseMutex(mutex_.Get());
  }

 private:
  UniqueHandle mutex_;
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

// English reasons for the errors a job meets, worded as on Linux.
const char* Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return "Device or resource busy";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return "No space left on device";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "File exists";
    case ERROR_NOT_SAME_DEVICE:
      return "Invalid cross-device link";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return "Invalid argument";
    case ERROR_FILENAME_EXCED_RANGE:
      return "File name too long";
    case ERROR_CANT_ACCESS_FILE:
      return "Too many levels of symbolic links";
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_CRC:
      return "Input/output error";
    default:
      return nullptr;
  }
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(file, data, size, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_DISK_FULL);  // a short write with no error of its own
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

// Everything from `in` to `out`, then to the disk.
bool CopyBytes(HANDLE in, HANDLE out) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) return false;
    if (n == 0) return FlushFileBuffers(out) != 0;
    if (!WriteAll(out, buffer.data(), n)) return false;
  }
}

}  // namespace

bool Win32FileSystem::Failed(std::string* err) { return Failed(GetLastError(), err); }

bool Win32FileSystem::Failed(unsigned long error, std::string* err) {
  if (!err) return false;
  if (error == 0) {  // never the system's "success"
    *err = "Unknown error";
    return false;
  }
  const std::string message = SystemMessage(error);
  const char* reason = Reason(error);
  const std::string line = reason ? reason : "error " + std::to_string(error);
  *err = message.empty() ? line : line + " (" + message + ")";
  return false;
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

// Wine deletes the file that a Unix symbolic link points to, and shows no
// such link to any call; a rename never follows one. So the name is taken by
// an empty file of our own that goes when its handle closes: a process killed
// at any instant leaves the name as it was or absent, never empty.
bool Win32FileSystem::DeleteName(const std::wstring& path, std::string* err) {
  UniqueHandle file;
  for (int i = 0; i < 8 && !file.Valid(); ++i) {
    file = UniqueHandle(CreateFileW(Widen(TemporaryName(FolderOfPath(Narrow(path)))).c_str(),
                                    DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  }
  if (!file.Valid()) return Failed(err);
  return RenameThroughHandle(file.Get(), path) || Failed(err);
}

bool Win32FileSystem::Delete(const std::string& path, std::string* err) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failed(err);
  // A read-only file stays, and so does a folder.
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
    return Failed(ERROR_ACCESS_DENIED, err);
  }
  return DeleteName(wide, err);
}

bool Win32FileSystem::Remove(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return DeleteName(wide, nullptr);
}

bool Win32FileSystem::Copy(const std::string& source, const std::string& dest, std::string* err) {
  UniqueHandle in(CreateFileW(Widen(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!in.Valid()) return Failed(err);
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(in.Get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
    return Failed(ERROR_CANT_ACCESS_FILE, err);  // a link is never read through
  }
  // CREATE_NEW never opens what exists, a link included.
  const std::wstring wideDest = Widen(dest);
  UniqueHandle out(CreateFileW(wideDest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.Valid()) return Failed(err);
  // As the system's own copy: the same time of the last change and attributes.
  const bool ok = CopyBytes(in.Get(), out.Get()) &&
                  SetFileTime(out.Get(), nullptr, nullptr, &info.ftLastWriteTime);
  if (!ok) Failed(err);
  out.Close();
  in.Close();
  if (!ok) {
    DeleteFileW(wideDest.c_str());  // no half copy stays behind
    return false;
  }
  SetFileAttributesW(wideDest.c_str(), info.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE);
  return true;
}

std::vector<std::string> Win32FileSystem::Names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW(Widen(folder + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

bool Win32FileSystem::Rename(const std::string& source, const std::string& dest, std::string* err) {
  // Without MOVEFILE_REPLACE_EXISTING an existing `dest` is kept.
  return MoveFileExW(Widen(source).c_str(), Widen(dest).c_str(), MOVEFILE_WRITE_THROUGH) ||
         Failed(err);
}

bool Win32FileSystem::Sync(const std::string& path, std::string* err) {
  const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return Failed(err);
  return FlushFileBuffers(file.Get()) || Failed(err);
}

std::unique_ptr<FileLock> Win32FileSystem::TryLock(const std::string& path, int milliseconds) {
  UniqueHandle mutex(CreateMutexW(nullptr, FALSE, MutexName(path).c_str()));
  if (!mutex.Valid()) return std::make_unique<MutexLock>(UniqueHandle());  // no lock to be had
  const DWORD state = WaitForSingleObject(mutex.Get(), static_cast<DWORD>(milliseconds));
  if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED)
    return std::make_unique<MutexLock>(std::move(mutex));
  return nullptr;
}

std::optional<std::string> Win32FileSystem::Read(const std::string& path) {
  const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  std::optional<std::string> bytes(std::in_place);
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
      bytes.reset();
      break;
    }
    if (n == 0) break;
    bytes->append(buffer.data(), n);
  }
  return bytes;
}

std::optional<std::string> Win32FileSystem::ReadPart(const std::string& path, uint64_t offset,
                                                     size_t size) {
  const UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  std::optional<std::string> bytes(std::in_place, size, '\0');
  size_t got = 0;
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) bytes.reset();
  while (bytes && got < size) {
    DWORD n = 0;
    if (!ReadFile(file.Get(), bytes->data() + got, static_cast<DWORD>(size - got), &n, nullptr))
      bytes.reset();
    else if (n == 0)
      break;
    got += n;
  }
  if (bytes) bytes->resize(got);
  return bytes;
}

bool Win32FileSystem::Write(const std::string& path, const std::string& bytes) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  DWORD written = 0;
  const bool ok =
      bytes.empty() ||
      (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
       written == bytes.size());
  return file.Close() && ok;
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
