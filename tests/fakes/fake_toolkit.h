#pragma once
// A toolkit that records what the core shows, answers message boxes from a
// script and runs queued user events at the next yield.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace kelvane::fakes {

struct MessageBoxRecord {
  std::string text, title;
  MsgButtons buttons;
  MsgIcon icon;
};

class FakeToolkit : public Toolkit {
 public:
  // The answer for the next message box; a box without a queued answer fails
  // the test. `whileOpen` runs while that box is open, like a user acting
  // elsewhere before answering it.
  void ExpectBox(MsgAnswer answer, std::function<void()> whileOpen = {}) {
    answers_.push_back({answer, std::move(whileOpen)});
  }
  // Runs `event` at the next yield (or at the next message box, which runs
  // its own event loop while it is open).
  void AtNextYield(std::function<void()> event) { events_.push_back(std::move(event)); }
  // Runs `action` when the n-th yield (counted from 1) happens.
  void AtYield(int n, std::function<void()> action) { atYield_[n].push_back(std::move(action)); }

  void ApplyControl(const Control& control) override;
  void ShowWindow() override;
  void SetWindowTitle(const std::string& title) override;
  void SetFocus(const Control& control) override;
  MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;
  void DoEvents() override;
  void SetRoundRegion(int width, int height, int corner) override;
  void BeginWindowDrag() override;
  void SetTopmost(bool topmost) override;

  // Everything shown, in order: "box:<title>", "show", "title:<text>",
  // "focus:<control>", "region:<w>x<h>/<corner>", "drag", "topmost:<0|1>",
  // "yield", and "<control>.text=<text>" for every text change.
  std::vector<std::string> log;
  std::vector<MessageBoxRecord> boxes;
  // The texts each control showed, in order.
  std::map<std::string, std::vector<std::string>> texts;
  int yields = 0;
  bool shown = false;
  bool topmost = false;

 private:
  void RunQueuedEvents();

  struct ScriptedAnswer {
    MsgAnswer answer;
    std::function<void()> whileOpen;
  };
  std::deque<ScriptedAnswer> answers_;
  std::deque<std::function<void()>> events_;
  std::map<int, std::vector<std::function<void()>>> atYield_;
};

}  // namespace kelvane::fakes
