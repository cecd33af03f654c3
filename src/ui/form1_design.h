#pragma once
// The design values of the main window and its controls, in stored order.
#include <string>
#include <utility>
#include <vector>

#include "ui/control.h"

namespace kelvane {

// Inner (and outer: the window has no border) size of Form1 in twips.
constexpr int kFormWidth = 4695;
constexpr int kFormHeight = 2505;

std::vector<std::pair<std::string, ControlDesign>> Form1Design();

}  // namespace kelvane
