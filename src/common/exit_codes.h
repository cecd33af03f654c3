#pragma once
// How the process ended, for the program that started it. The same numbers
// on every platform; the README lists them.

namespace kelvane {

enum class ExitCode : int {
  Done = 0,             // every job was done (also "/?" and closing after a job)
  NoWindow = 1,         // the window could not be created
  WrongParameter = 2,   // the usage text or "Wrong parameter"
  DownloadFailed = 3,   // nothing usable was fetched
  ReplaceFailed = 4,    // a backup could not be made, or the target not replaced
  Declined = 5,         // replaced, but the run question was answered No
  Cancelled = 6,        // Cancel or the picture's OK before the job was done
  CheckFailed = 7,      // the download failed its hash or signature check
  RestartFailed = 8,    // replaced, but the program could not be started again
};

}  // namespace kelvane
