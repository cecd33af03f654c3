#include "fakes/fake_toolkit.h"

#include <gtest/gtest.h>

#include "ui/control.h"

namespace kelvane::fakes {

void FakeToolkit::ApplyControl(const Control& control) {
  auto& history = texts[control.Name()];
  if (history.empty() || history.back() != control.Text()) history.push_back(control.Text());
}

MsgAnswer FakeToolkit::MessageBox(const std::string& text, const std::string& boxTitle,
                                  MsgButtons buttons, MsgIcon) {
  boxes.push_back({text, boxTitle, buttons});
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box \"" << boxTitle << "\": " << text;
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
  }
  // A modal box runs its own event loop: queued events happen while it is open.
  DoEvents();
  ScriptedAnswer next = std::move(answers_.front());
  answers_.pop_front();
  if (next.whileOpen) next.whileOpen();
  return next.answer;
}

void FakeToolkit::DoEvents() {
  std::deque<std::function<void()>> now;
  now.swap(events_);
  for (auto& event : now) event();
}

void FakeToolkit::SetRoundRegion(int width, int height, int corner) {
  log.push_back("region:" + std::to_string(width) + "x" + std::to_string(height) + "/" +
                std::to_string(corner));
}

void FakeToolkit::SetTopmost(bool on) {
  topmost = on;
  log.push_back(on ? "topmost:1" : "topmost:0");
}

}  // namespace kelvane::fakes
