#pragma once
#include <sys/types.h>

#include <string>

namespace kelvane::linux_platform {

// The file a download is written to until it is whole. Preferably an unnamed
// file in the target's folder (O_TMPFILE), so a crash leaves nothing; where
// the file system has none, a hidden sibling whose short name comes from the
// target's name (fits beside a target of any length). Either way a crashed
// run's leftover for the same target is removed when the next one opens.
class PartialFile {
 public:
  explicit PartialFile(std::string target);
  ~PartialFile();  // discards the file unless it was committed
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  // 0, or the errno of the failure.
  int Open();
  int fd() const { return fd_; }
  // Gives the file `mode` and puts it in the target's place in one step
  // (a link there is replaced, never followed). 0, or the errno.
  int Commit(mode_t mode);

  // The hidden sibling's name for `target`.
  static std::string SiblingOf(const std::string& target);

 private:
  std::string target_, sibling_;
  int fd_ = -1;
  bool named_ = false;  // the sibling exists on disk
};

}  // namespace kelvane::linux_platform
