#pragma once
#include <windows.h>

#include <string>

#include "platform/win32/unique_handle_win32.h"

namespace kelvane::win32 {

// The file a download is written to until it is whole: a sibling of the
// target with a new random name (TemporaryName), created exclusively, so
// nobody can have planted a file or a link there. It is marked for deletion
// while open, so that it goes with its handle, also when the process is
// killed, and is never deleted by name (under Wine, deleting a name that is
// a link deletes the file the link points to).
class PartialFile {
 public:
  explicit PartialFile(std::wstring target);
  ~PartialFile();  // discards the file unless it was committed
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  // 0, or the system's error.
  DWORD Open();
  HANDLE handle() const { return file_.Get(); }
  // Puts the file in the target's place, renamed through its handle (a link
  // there is replaced, never followed). 0, or the system's error.
  DWORD Commit();

 private:
  bool MarkForDeletion(bool deleted);

  std::wstring target_;
  UniqueHandle file_;
};

// Gives the open `file` the name `to`, replacing what is there: a link at
// `to` is replaced, never followed.
bool RenameThroughHandle(HANDLE file, const std::wstring& to);

}  // namespace kelvane::win32
