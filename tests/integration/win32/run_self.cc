#include "run_self.h"

#include <map>

#include "platform/win32/wide_text_win32.h"
#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32::testing {

std::optional<std::string> ChildExpects() {
  const DWORD n = GetEnvironmentVariableW(kChildExpects, nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring value(n, L'\0');
  value.resize(GetEnvironmentVariableW(kChildExpects, value.data(), n));
  return Narrow(value);
}

int RunSelf(const std::wstring& arguments,
            const std::vector<std::pair<std::wstring, std::wstring>>& variables) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(path) + L"\" " + arguments;

  std::map<std::wstring, std::wstring> environment;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
    const std::wstring entry = p;
    const size_t eq = entry.find(L'=', 1);
    if (eq != std::wstring::npos) environment[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  FreeEnvironmentStringsW(strings);
  for (const auto& [name, value] : variables) environment[name] = value;
  std::wstring block;
  for (const auto& [name, value] : environment) block += name + L"=" + value + L'\0';
  block += L'\0';

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path, commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      block.data(), nullptr, &startup, &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace kelvane::win32::testing
