#pragma once
// Runs this test program again as a child, with its own command line and
// environment, so that a test can check what a process is handed at start.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvane::win32::testing {

// The variable that tells a test it runs as the child, and what to expect.
constexpr wchar_t kChildExpects[] = L"KELVANE_CHILD_EXPECTS";

// Its value in UTF-8 when this process is such a child.
std::optional<std::string> ChildExpects();

// Starts this program with `arguments` behind its quoted path and with the
// current environment plus `variables`; returns its exit code, or -1 when it
// could not be started or did not end within 60 s.
int RunSelf(const std::wstring& arguments,
            const std::vector<std::pair<std::wstring, std::wstring>>& variables);

}  // namespace kelvane::win32::testing
