#include "common/paths.h"

namespace kelvane {

std::string FileNameOfPath(std::string_view path) {
  const size_t at = path.find_last_of("\\/");
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

char SeparatorOf(std::string_view path) {
  return path.find('/') != std::string_view::npos ? '/' : '\\';
}

std::string FolderOfPath(std::string_view path) {
  const size_t at = path.find_last_of("\\/");
  return std::string(at == std::string_view::npos ? path : path.substr(0, at + 1));
}

std::string WithTrailingSeparator(std::string_view path) {
  std::string p(path);
  const bool quoted = !p.empty() && p.back() == '"';
  if (quoted) p.pop_back();
  if (p.find('\\') != std::string::npos) {
    if (p.back() != '\\') p += '\\';
  } else if (p.find('/') != std::string::npos) {
    if (p.back() != '/') p += '/';
  }
  if (quoted) p += '"';
  return p;
}

std::string AbsolutePath(std::string_view path, std::string_view folder) {
  const size_t at = !path.empty() && path.front() == '"' ? 1 : 0;
  const std::string_view bare = path.substr(at);
  const bool rooted =
      (!bare.empty() && (bare[0] == '/' || bare[0] == '\\')) || (bare.size() > 1 && bare[1] == ':');
  if (rooted || folder.empty()) return std::string(path);
  return std::string(path.substr(0, at)) + WithTrailingSeparator(folder) + std::string(bare);
}

}  // namespace kelvane
