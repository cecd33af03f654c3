#pragma once
#include <sys/types.h>

#include <string>

#include "platform/linux/descriptor_linux.h"

namespace kelvane::linux_platform {

// The file a download is written to until it is whole. Preferably an unnamed
// file in the target's folder (O_TMPFILE), so a crash leaves nothing; where
// the file system has none, a sibling of a new random name (TemporaryName),
// created exclusively: nobody can have planted a file or link there.
class PartialFile {
 public:
  explicit PartialFile(std::string target);
  ~PartialFile();  // discards the file unless it was committed
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;

  // 0, or the errno of the failure.
  int Open();
  int fd() const { return fd_.Get(); }
  // Gives the file `mode` and puts it in the target's place in one step
  // (a link there is replaced, never followed). 0, or the errno.
  int Commit(mode_t mode);

 private:
  // Makes a new name in the target's folder with `make` (0 or an errno,
  // EEXIST to try another name); 0 or the errno.
  template <class Make>
  int Name(Make make);

  std::string folder_, target_, sibling_;
  UniqueFd fd_;
  bool named_ = false;  // the sibling exists on disk
};

}  // namespace kelvane::linux_platform
