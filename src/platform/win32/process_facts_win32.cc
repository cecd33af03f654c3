#include "platform/win32/process_facts_win32.h"

#include "platform/win32/wide_text_win32.h"
#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32 {
namespace {

constexpr double kTwipsPerInch = 1440.0;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The executable's full path.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

double TwipsPerPixel(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, axis) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return kTwipsPerInch / (dpi > 0 ? dpi : 96);
}

}  // namespace

std::wstring ArgumentTextOf(std::wstring_view line) {
  size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    const size_t close = line.find(L'"', 1);
    i = close == std::wstring_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
  }
  while (i < line.size() && IsBlank(line[i])) ++i;
  return std::wstring(line.substr(i));
}

std::string Win32ProcessFacts::ArgumentText() { return Narrow(ArgumentTextOf(GetCommandLineW())); }

std::string Win32ProcessFacts::ExeName() {
  const std::wstring path = ModulePath();
  const size_t slash = LastSeparator(path);
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return Narrow(name);
}

std::string Win32ProcessFacts::ExeFolder() {
  const std::wstring path = ModulePath();
  const size_t slash = LastSeparator(path);
  return slash == std::wstring::npos ? std::string() : Narrow(path.substr(0, slash));
}

std::string Win32ProcessFacts::ProbeFolder() {
  const std::string folder = ExeFolder();
  if (folder.empty()) return {};
  return std::string(1, folder[0]) + ":\\";
}

std::string Win32ProcessFacts::TempFolder() {
  wchar_t path[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, path);
  return n == 0 || n > MAX_PATH ? std::string() : Narrow(std::wstring(path, n));
}

double Win32ProcessFacts::TwipsPerPixelX() {
  return dpi_ > 0 ? kTwipsPerInch / dpi_ : TwipsPerPixel(LOGPIXELSX);
}
double Win32ProcessFacts::TwipsPerPixelY() {
  return dpi_ > 0 ? kTwipsPerInch / dpi_ : TwipsPerPixel(LOGPIXELSY);
}

}  // namespace kelvane::win32
