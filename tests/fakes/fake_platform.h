#pragma once
// Every fake, wired together, and a Form1 on top of them.
#include <memory>

#include "fakes/fake_file_system.h"
#include "fakes/fake_services.h"
#include "fakes/fake_toolkit.h"
#include "platform/platform.h"
#include "ui/form1.h"

namespace kelvane::fakes {

struct FakePlatform {
  FakeToolkit ui;
  FakeProcessList processes;
  FakeFileSystem fs;
  FakeFetcher fetcher{fs};
  FakeUrlCache cache;
  FakeLauncher launcher{fs};
  FakeSettingsStore settings;
  FakeLocale locale;
  FakeProcessFacts facts;
  FakeProcessEnd end;
  Platform platform{ui, processes, fetcher, cache, launcher, fs, settings, locale, facts, end};

  void German() { locale.languageName = "German"; }

  // A window wired to these fakes, mirrored into `ui` like a real view.
  std::unique_ptr<Form1> MakeForm() {
    auto form = std::make_unique<Form1>(platform);
    form->SetObserver([this](const Control& c) { ui.ApplyControl(c); });
    return form;
  }
};

// Runs a handler chain that may end the process; true when it ended.
template <typename F>
bool Ends(F&& handler) {
  try {
    handler();
  } catch (const ProcessEnded&) {
    return true;
  }
  return false;
}

}  // namespace kelvane::fakes
