#include "platform/win32/process_end_win32.h"

#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32 {

void Win32ProcessEnd::EndNow(ExitCode code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace kelvane::win32
