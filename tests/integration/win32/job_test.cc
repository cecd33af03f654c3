#include "integration/job_table.h"
#include "platform/win32/fetcher_win32.h"
#include "platform/win32/file_system_win32.h"

namespace kelvane {
namespace {

TEST(Win32Job, FaultTable) {
  win32::Win32FileSystem files;
  win32::Win32Fetcher fetcher;
  testing::JobServer server;
  testing::RunJobCases(files, fetcher, server, testing::CommonJobCases(server.fresh));
}

}  // namespace
}  // namespace kelvane
