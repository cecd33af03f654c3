#include "platform/win32/partial_file_win32.h"

#include <cstring>
#include <vector>

#include "download/fetch_policy.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

// Names tried before giving up: a clash of random names is all but impossible.
constexpr int kNameTries = 16;

}  // namespace

PartialFile::PartialFile(std::wstring target) : target_(std::move(target)) {}

PartialFile::~PartialFile() = default;

bool PartialFile::MarkForDeletion(bool deleted) {
  FILE_DISPOSITION_INFO disposition{deleted};
  return SetFileInformationByHandle(file_.Get(), FileDispositionInfo, &disposition,
                                    sizeof disposition);
}

DWORD PartialFile::Open() {
  const size_t split = target_.find_last_of(L"\\/");
  const std::wstring folder = split == std::wstring::npos ? L"" : target_.substr(0, split + 1);
  DWORD error = ERROR_FILE_EXISTS;
  for (int i = 0; i < kNameTries && error == ERROR_FILE_EXISTS; ++i) {
    file_ =
        UniqueHandle(CreateFileW((folder + Widen(NewPartialName())).c_str(), GENERIC_WRITE | DELETE,
                                 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file_.Valid() ? 0 : GetLastError();
  }
  if (error == 0 && !MarkForDeletion(true)) error = GetLastError();
  return error;
}

DWORD PartialFile::Commit() {
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target_.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->FileNameLength = static_cast<DWORD>(target_.size() * sizeof(wchar_t));
  std::memcpy(rename->FileName, target_.c_str(), rename->FileNameLength);
  if (!MarkForDeletion(false)) return GetLastError();
  if (!SetFileInformationByHandle(file_.Get(), FileRenameInfo, rename,
                                  static_cast<DWORD>(buffer.size()))) {
    const DWORD error = GetLastError();
    MarkForDeletion(true);
    return error;
  }
  return file_.Close() ? 0 : GetLastError();
}

}  // namespace kelvane::win32
