#pragma once
// The Windows services of the program other than the window, the locale and
// the process facts.
#include <memory>

#include "platform/platform.h"

namespace kelvane::win32 {

struct Win32Services {
  std::unique_ptr<ProcessList> processes;
  std::unique_ptr<Fetcher> fetcher;
  std::unique_ptr<UrlCache> cache;
  std::unique_ptr<Launcher> launcher;
  std::unique_ptr<FileSystem> fs;
  std::unique_ptr<SettingsStore> settings;
};

Win32Services MakeWin32Services();

}  // namespace kelvane::win32
