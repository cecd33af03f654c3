#include "download/progress_monitor.h"

#include <algorithm>
#include <iterator>

namespace kelvane {

ProgressMonitor::ProgressMonitor(Control& bar, Toolkit& ui, std::function<bool()> stopAsked)
    : bar_(bar), ui_(ui), stopAsked_(std::move(stopAsked)) {
  bar_.SetValue(-1);
  bar_.SetToolTip("");
  bar_.SetVisible(true);
}

ProgressMonitor::~ProgressMonitor() { bar_.SetVisible(false); }

bool ProgressMonitor::Progress(int64_t received, int64_t total) {
  const int perMille =
      total > 0 ? static_cast<int>(std::min<int64_t>(1000, received * 1000 / total)) : -1;
  if (perMille != bar_.Value()) bar_.SetValue(perMille);
  std::string tip = ByteCountText(received);
  if (total >= 0) tip += " / " + ByteCountText(total);
  if (tip != bar_.ToolTip()) bar_.SetToolTip(tip);
  ui_.DoEvents();
  return !stopAsked_();
}

std::string ByteCountText(int64_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + " bytes";
  // One decimal, rounded half up, in whole numbers: the Windows build then
  // needs no floating-point printf (a twentieth of its exe).
  const char* units[] = {"kB", "MB", "GB", "TB"};
  int64_t tenth = 100;  // bytes in a tenth of the unit
  size_t unit = 0;
  for (; bytes / tenth >= 10000 && unit + 1 < std::size(units); ++unit) tenth *= 1000;
  const int64_t tenths = bytes / tenth + (bytes % tenth >= tenth / 2);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + units[unit];
}

}  // namespace kelvane
