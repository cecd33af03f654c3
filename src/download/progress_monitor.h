#pragma once
// What the window does while a fetch runs: shows how far it is, keeps
// answering the user, and stops the fetch once a stop was asked for.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/fetcher.h"
#include "platform/toolkit.h"
#include "ui/control.h"

namespace kelvane {

class ProgressMonitor : public FetchMonitor {
 public:
  // `bar` is shown at once, moving until the size is known; `stopAsked` is
  // asked after every yield.
  ProgressMonitor(Control& bar, Toolkit& ui, std::function<bool()> stopAsked);
  ~ProgressMonitor() override;  // hides the bar
  ProgressMonitor(const ProgressMonitor&) = delete;
  ProgressMonitor& operator=(const ProgressMonitor&) = delete;

  bool Progress(int64_t received, int64_t total) override;

 private:
  Control& bar_;
  Toolkit& ui_;
  std::function<bool()> stopAsked_;
};

// A byte count as people read it: "950 bytes", "12.3 kB", "200.0 MB".
std::string ByteCountText(int64_t bytes);

}  // namespace kelvane
