#include "platform/win32/process_list_win32.h"

#include <windows.h>
// (after windows.h, which it needs)
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

using Walk = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32W);

bool Fill(Walk walk, ProcessList::Handle snapshot, ProcessEntry& entry) {
  if (entry.size != sizeof(ProcessEntry)) return false;
  PROCESSENTRY32W native{};
  native.dwSize = sizeof native;
  if (!walk(reinterpret_cast<HANDLE>(snapshot), &native)) return false;
  entry.usage = native.cntUsage;
  entry.processId = native.th32ProcessID;
  entry.moduleId = native.th32ModuleID;
  entry.threads = native.cntThreads;
  entry.parentProcessId = native.th32ParentProcessID;
  entry.basePriority = native.pcPriClassBase;
  entry.flags = native.dwFlags;
  const std::string name = Narrow(native.szExeFile);
  std::memset(entry.exeFile, 0, sizeof entry.exeFile);
  std::memcpy(entry.exeFile, name.data(), std::min(name.size(), sizeof entry.exeFile - 1));
  return true;
}

}  // namespace

ProcessList::Handle ToolHelpProcessList::CreateSnapshot() {
  return reinterpret_cast<Handle>(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
}

bool ToolHelpProcessList::First(Handle snapshot, ProcessEntry& entry) {
  return Fill(Process32FirstW, snapshot, entry);
}

bool ToolHelpProcessList::Next(Handle snapshot, ProcessEntry& entry) {
  return Fill(Process32NextW, snapshot, entry);
}

void ToolHelpProcessList::Close(Handle snapshot) {
  CloseHandle(reinterpret_cast<HANDLE>(snapshot));
}

}  // namespace kelvane::win32
