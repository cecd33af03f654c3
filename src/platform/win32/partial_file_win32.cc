#include "platform/win32/partial_file_win32.h"

#include <cstring>
#include <vector>

#include "common/temporary_name.h"
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
    file_ = UniqueHandle(CreateFileW(Widen(TemporaryName(Narrow(folder), kDownloadEnding)).c_str(),
                                     GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file_.Valid() ? 0 : GetLastError();
  }
  if (error == 0 && !MarkForDeletion(true)) error = GetLastError();
  return error;
}

DWORD PartialFile::Commit() {
  if (!MarkForDeletion(false)) return GetLastError();
  if (!RenameThroughHandle(file_.Get(), target_)) {
    const DWORD error = GetLastError();
    MarkForDeletion(true);
    return error;
  }
  return file_.Close() ? 0 : GetLastError();
}

bool RenameThroughHandle(HANDLE file, const std::wstring& to) {
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::memcpy(rename->FileName, to.c_str(), rename->FileNameLength);
  return SetFileInformationByHandle(file, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size()));
}

}  // namespace kelvane::win32
