#pragma once
// A window on the fakes with one job ready: the target holds the old program
// and the URL serves the new one.
#include <memory>
#include <string>

#include "common/text.h"
#include "fakes/fake_platform.h"

namespace kelvane::testing {

struct JobBench {
  fakes::FakePlatform p;
  std::unique_ptr<Form1> form = p.MakeForm();
  std::string target;

  explicit JobBench(const std::string& path = "C:\\Apps\\tool.exe",
                    const std::string& old = "old") {
    target = path;
    form->Path = path;
    form->URL = "http://host/tool.exe";
    p.fetcher.bodies[form->URL] = "new";
    if (!old.empty()) p.fs.Put(path, old);
  }
  // Ask and the check box; false/0 leaves the window open after the job.
  void Settings(bool ask, int check) {
    form->Ask = ask;
    form->RunProgramCheck.SetValue(check);
  }
  bool Run() {
    return fakes::Ends([&] { form->RunUpdate(); });
  }
  std::string File(const std::string& path) const {
    return p.fs.Has(path) ? p.fs.Bytes(path) : "<none>";
  }
};

// Message lines joined by CR.
inline std::string Lines(std::initializer_list<std::string> parts) {
  std::string text;
  for (const std::string& part : parts) text += part + CR;
  text.pop_back();
  return text;
}

}  // namespace kelvane::testing
