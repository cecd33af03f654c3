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

  void ApplyControl(const Control& control) override;
  void ShowWindow() override { log.push_back("show"); }
  void SetWindowTitle(const std::string&) override {}
  void SetFocus(const Control&) override {}
  MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;
  void DoEvents() override;
  void SetRoundRegion(int width, int height, int corner) override;
  void BeginWindowDrag() override { log.push_back("drag"); }
  void SetTopmost(bool topmost) override;

  // The window's changes, in order: "show", "region:<w>x<h>/<corner>",
  // "drag", "topmost:<0|1>".
  std::vector<std::string> log;
  std::vector<MessageBoxRecord> boxes;
  // The texts each control showed, in order.
  std::map<std::string, std::vector<std::string>> texts;
  bool topmost = false;

 private:
  struct ScriptedAnswer {
    MsgAnswer answer;
    std::function<void()> whileOpen;
  };
  std::deque<ScriptedAnswer> answers_;
  std::deque<std::function<void()>> events_;
};

}  // namespace kelvane::fakes
