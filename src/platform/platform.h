#pragma once
// All platform services the core uses, bundled.
#include "platform/fetcher.h"
#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/locale.h"
#include "platform/process_facts.h"
#include "platform/process_list.h"
#include "platform/settings_store.h"
#include "platform/toolkit.h"
#include "platform/url_cache.h"

namespace kelvane {

struct Platform {
  Toolkit& ui;
  ProcessList& processes;
  Fetcher& fetcher;
  UrlCache& cache;
  Launcher& launcher;
  FileSystem& fs;
  SettingsStore& settings;
  Locale& locale;
  ProcessFacts& facts;
  ProcessEnd& end;
};

}  // namespace kelvane
