#include "fakes/fake_file_system.h"

#include <algorithm>

#include "common/paths.h"

namespace kelvane::fakes {

std::optional<uint32_t> FakeFileSystem::Attributes(const std::string& path) {
  std::string bare = path;
  while (bare.size() > 1 && (bare.back() == '\\' || bare.back() == '/')) bare.pop_back();
  if (folders.count(bare)) return kAttributeDirectory;
  auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return it->second.readOnly ? kAttributeReadOnly : 0u;
}

bool FakeFileSystem::Delete(const std::string& path, std::string* err) {
  auto it = files.find(path);
  if (it == files.end() || it->second.readOnly || it->second.undeletable || heldOpen.count(path))
    return Failed(err);
  files.erase(it);
  return true;
}

bool FakeFileSystem::Remove(const std::string& path) {
  auto it = files.find(path);
  if (it == files.end() || it->second.undeletable) return false;
  files.erase(it);
  return true;
}

bool FakeFileSystem::Copy(const std::string& source, const std::string& dest, std::string* err) {
  auto it = files.find(source);
  if (it == files.end() || files.count(dest)) return Failed(err);
  return Write(dest, it->second.bytes) || Failed(err);
}

bool FakeFileSystem::Rename(const std::string& source, const std::string& dest, std::string* err) {
  auto it = files.find(source);
  if (it == files.end() || Attributes(dest) || heldOpen.count(source) || it->second.undeletable)
    return Failed(err);
  files[dest] = it->second;
  files.erase(source);
  return true;
}

std::vector<std::string> FakeFileSystem::Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [path, file] : files)
    if (FolderOfPath(path) == folder) names.push_back(FileNameOfPath(path));
  return names;
}

std::optional<std::string> FakeFileSystem::ReadPart(const std::string& path, uint64_t offset,
                                                    size_t size) {
  largestPart = std::max(largestPart, size);
  auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return offset < it->second.bytes.size() ? it->second.bytes.substr(offset, size) : "";
}

std::optional<std::string> FakeFileSystem::Read(const std::string& path) {
  auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return it->second.bytes;
}

bool FakeFileSystem::Write(const std::string& path, const std::string& bytes) {
  std::string folder = FolderOfPath(path);
  if (folder.size() > 1) folder.pop_back();
  if (unwritableFolders.count(folder)) return false;
  const auto attributes = Attributes(path);
  if (attributes && (*attributes & kAttributeDirectory)) return false;  // a folder is no file
  auto it = files.find(path);
  if (it != files.end() && (it->second.readOnly || it->second.undeletable)) return false;
  size_t used = bytes.size();
  for (const auto& [name, file] : files)
    if (name != path) used += file.bytes.size();
  if (used > capacity) return false;
  files[path].bytes = bytes;
  return true;
}

}  // namespace kelvane::fakes
