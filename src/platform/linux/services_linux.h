#pragma once
// The services of the Linux platform besides the window, the locale and the
// process facts.
#include <memory>

#include "platform/fetcher.h"
#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/process_list.h"
#include "platform/settings_store.h"
#include "platform/url_cache.h"

namespace kelvane::linux_platform {

struct LinuxServices {
  virtual ~LinuxServices() = default;
  virtual Fetcher& fetcher() = 0;
  virtual UrlCache& cache() = 0;
  virtual ProcessList& processes() = 0;
  virtual Launcher& launcher() = 0;
  virtual FileSystem& fs() = 0;
  virtual SettingsStore& settings() = 0;
};

std::unique_ptr<LinuxServices> MakeLinuxServices();

}  // namespace kelvane::linux_platform
