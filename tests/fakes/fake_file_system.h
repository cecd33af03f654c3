#pragma once
// An in-memory file system with Windows-like presence rules.
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace kelvane::fakes {

struct FakeFile {
  std::string bytes;
  bool readOnly = false;
  bool undeletable = false;  // in use by a running program: neither deleted nor renamed
};

class FakeFileSystem : public FileSystem {
 public:
  void Put(const std::string& path, std::string bytes, bool readOnly = false) {
    files[path] = FakeFile{std::move(bytes), readOnly};
  }
  bool Has(const std::string& path) const { return files.count(path) != 0; }
  std::string Bytes(const std::string& path) const { return files.at(path).bytes; }

  bool IsPresent(const std::string& path) override { return Has(path); }
  std::optional<uint32_t> Attributes(const std::string& path) override;
  bool Delete(const std::string& path, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool Copy(const std::string& source, const std::string& dest, std::string* err) override;
  bool Rename(const std::string& source, const std::string& dest, std::string* err) override;
  std::vector<std::string> Names(const std::string& folder) override;
  bool RenameActsAsDelete() override { return true; }
  bool Sync(const std::string& path, std::string* err) override { return Has(path) || Failed(err); }
  std::string RealFile(const std::string& path) override { return path; }
  std::unique_ptr<FileLock> TryLock(const std::string&, int) override {
    return std::make_unique<FileLock>();
  }
  std::optional<std::string> Read(const std::string& path) override;
  std::optional<std::string> ReadPart(const std::string& path, uint64_t offset,
                                      size_t size) override;
  bool LineFeedEndsLine() override { return lineFeedEndsLine; }
  bool Write(const std::string& path, const std::string& bytes) override;
  std::string CurrentFolder() override { return currentFolder; }
  bool SetCurrentFolder(const std::string& folder) override {
    currentFolder = folder;
    return true;
  }
  bool SetCurrentDrive(char) override { return true; }

  // Every failure gives the same reason.
  static bool Failed(std::string* err) {
    if (err) *err = "Permission denied";
    return false;
  }

  std::map<std::string, FakeFile> files;
  std::set<std::string> folders;
  std::set<std::string> unwritableFolders;  // creating files there fails
  size_t capacity = SIZE_MAX;               // bytes the disk holds; a write that does not fit fails
  std::string currentFolder = "C:\\";
  bool lineFeedEndsLine = false;
  std::set<std::string> heldOpen;  // by another program: neither renamed nor deleted
  size_t largestPart = 0;          // the most bytes one ReadPart asked for
};

}  // namespace kelvane::fakes
