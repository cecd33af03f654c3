#include <gtest/gtest.h>

#include <optional>

#include "download/progress_monitor.h"
#include "unit/job_bench.h"

namespace kelvane::testing {
namespace {

TEST(RunUpdate, AskAndTheCheckBoxDecideQuestionAndStart) {
  struct Row {
    bool ask;
    int check;
    std::optional<MsgAnswer> answer;
    bool ends, started, german;
  };
  for (const Row& row : {Row{true, 1, MsgAnswer::Yes, true, true, false},
                         Row{true, 1, MsgAnswer::No, true, false, true},
                         Row{true, 0, MsgAnswer::Yes, false, false, true},
                         Row{false, 0, std::nullopt, false, false, false}}) {
    SCOPED_TRACE(::testing::Message() << "Ask " << row.ask << ", check " << row.check);
    // A path with a blank is quoted for the question, the start and every later use.
    JobBench b("C:\\My Apps\\tool.exe");
    const std::string quoted = "\"" + b.target + "\"";
    if (row.german) b.p.German();
    b.Settings(row.ask, row.check);
    b.form->Param1 = "/install";
    b.form->AlwaysOnTop1.SetToTop();
    b.p.fs.Put(b.target + "_", "stale", true);  // left by an earlier run: removed first
    // A copy or a download that a killed job left: removed under the lock.
    const std::string leftover =
        std::string("C:\\My Apps\\.kelvane-0123456789abcdef") + (row.german ? ".part" : ".copy");
    b.p.fs.Put(leftover, "part");
    if (row.answer) b.p.ui.ExpectBox(*row.answer);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(b.Run(), row.ends);
    EXPECT_EQ(b.p.end.code.value_or(b.form->Outcome),
              row.answer == MsgAnswer::No ? ExitCode::Declined : ExitCode::Done);
    EXPECT_EQ(
        ::testing::internal::GetCapturedStderr(),
        row.answer == MsgAnswer::No
            ? "kelvane: not started: the question to run it was answered No: " + b.target + "\n"
            : "");
    ASSERT_EQ(b.p.ui.boxes.size(), row.answer ? 1u : 0u);
    if (row.answer) {
      EXPECT_EQ(b.p.ui.boxes[0].text,
                Lines({row.german ? "Programm jetzt starten:" : "Restart:", "", quoted}));
      EXPECT_EQ(b.p.ui.boxes[0].title, row.german ? "Programm starten?" : "Run program?");
      EXPECT_EQ(b.p.ui.boxes[0].buttons, MsgButtons::YesNo);
    }
    EXPECT_EQ(b.p.launcher.started,
              std::vector<std::string>(row.started ? 1 : 0, quoted + " /install"));
    EXPECT_EQ(b.form->Path, quoted);
    const std::string closeCaption = row.german ? "Schließen" : "Close";
    EXPECT_EQ(b.form->Command1.Text() == closeCaption, !row.ends);

    EXPECT_EQ(b.File(b.target), "new");  // replaced before the decision
    EXPECT_FALSE(b.p.fs.Has(leftover));
    EXPECT_FALSE(b.p.ui.topmost);  // the window is released once the job is done
    const std::vector<std::string> captions =
        row.german
            ? std::vector<std::string>{"Downloading ...", "Download abgeschlossen",
                                       "Remove Temp-Files..", "fertig ...",
                                       "Programm wird gestartet.."}
            : std::vector<std::string>{"Downloading ...", "Download Done ..", "Remove Temp-Files..",
                                       "done ...", "Restarting Program.."};
    EXPECT_EQ(b.p.ui.texts["Label1"], captions);
    EXPECT_EQ(b.p.fs.currentFolder, "C:\\Tools");
  }
}

// A target that cannot be deleted (in use) through every warning: removed by
// the user while the last box is open, or left, which ends the job with the
// old program in place and the download discarded.
TEST(RunUpdate, TargetRunningThroughAllChecksWarnsSixTimesAndSurvivesOrNot) {
  for (const bool removed : {true, false}) {
    SCOPED_TRACE(removed);
    JobBench b;
    b.Settings(false, 0);
    b.p.processes.running = {"explorer.exe", "TOOL.EXE"};
    b.p.fs.files[b.target].undeletable = true;
    for (int i = 0; i < 6; ++i) b.p.ui.ExpectBox(MsgAnswer::Ok);
    b.p.ui.ExpectBox(MsgAnswer::Ok, [&] {
      if (removed) b.p.fs.files.erase(b.target);
    });

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(b.Run());
    // The box is the same for every file failure; the reason goes to standard error.
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kelvane: could not delete: Permission denied: " + b.target + "\n");
    ASSERT_EQ(b.p.ui.boxes.size(), 7u);
    EXPECT_EQ(b.p.ui.boxes[5].text,
              Lines({"The program: ", b.target, "", "is still running!",
                     "Please close the program before starting the Update-Process!"}));
    EXPECT_EQ(b.p.ui.boxes[5].title, "Close program..");
    EXPECT_EQ(b.p.ui.boxes[6].text,
              Lines({"Could not delete file:", b.target, "Please delete it before continue.."}));
    EXPECT_EQ(b.p.fetcher.calls.size(), 1u);
    EXPECT_EQ(b.File(b.target), removed ? "new" : "old");
    EXPECT_FALSE(b.p.fs.Has(b.target + "_"));
    EXPECT_EQ(b.form->Outcome, removed ? ExitCode::Done : ExitCode::ReplaceFailed);
  }
}

TEST(RunUpdate, DownloadErrorAndFailedBackupEndWithTheTargetUntouched) {
  JobBench failedDownload;
  failedDownload.p.fetcher.bodies.clear();
  failedDownload.p.ui.ExpectBox(MsgAnswer::Ok);
  EXPECT_TRUE(failedDownload.Run());
  EXPECT_EQ(failedDownload.p.end.code, ExitCode::DownloadFailed);
  ASSERT_EQ(failedDownload.p.ui.boxes.size(), 1u);
  EXPECT_EQ(failedDownload.p.ui.boxes[0].text,
            Lines({"Download Error!", "You want to try it again?"}));
  EXPECT_EQ(failedDownload.File(failedDownload.target), "old");

  // A read-only target, or a read-only ".old", is copied to its backup, and
  // the disk has no room for the copy: nothing is renamed.
  for (const bool older : {false, true}) {
    SCOPED_TRACE(older);
    JobBench noBackup;
    noBackup.p.German();
    noBackup.p.fs.Put(noBackup.target, "old", !older);
    if (older) noBackup.p.fs.Put(noBackup.target + ".old", "older", true);
    noBackup.p.fs.capacity = older ? 12 : 6;
    noBackup.p.ui.ExpectBox(MsgAnswer::Ok);
    EXPECT_TRUE(noBackup.Run());
    EXPECT_EQ(noBackup.p.end.code, ExitCode::ReplaceFailed);
    ASSERT_EQ(noBackup.p.ui.boxes.size(), 1u);
    EXPECT_EQ(noBackup.p.ui.boxes[0].text,
              Lines({"Fehler Backup Datei:", noBackup.target, "konnte nicht angelegt werden"}));
    EXPECT_EQ(noBackup.File(noBackup.target), "old");
    EXPECT_EQ(noBackup.File(noBackup.target + ".old"), older ? "older" : "<none>");
    EXPECT_FALSE(noBackup.p.fs.Has(noBackup.target + ".old2"));
  }

  // A ".old2" that cannot be deleted costs the generation in ".old", with a line.
  JobBench lost;
  lost.Settings(false, 0);
  lost.p.fs.Put(lost.target + ".old", "older");
  lost.p.fs.files[lost.target + ".old2"].undeletable = true;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(lost.Run());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "kelvane: could not delete: Permission denied: " + lost.target + ".old2\n");
  EXPECT_EQ(lost.File(lost.target + ".old"), "old");

  // A failed check's stderr line and files: the job table, on both builds.
  JobBench failedCheck;
  failedCheck.p.German();
  failedCheck.form->Check.sha256 = std::string(64, '0');
  failedCheck.p.ui.ExpectBox(MsgAnswer::Ok);
  EXPECT_TRUE(failedCheck.Run());
  EXPECT_EQ(failedCheck.p.end.code, ExitCode::CheckFailed);
  ASSERT_EQ(failedCheck.p.ui.boxes.size(), 1u);
  EXPECT_EQ(failedCheck.p.ui.boxes[0].text,
            Lines({"Die Prüfung des Downloads ist fehlgeschlagen!", "http://host/tool.exe"}));
}

// A program that does not start again is said in a box and on standard error.
TEST(RunUpdate, AProgramThatDoesNotStartAgainIsReportedAndEndsWithItsOwnStatus) {
  for (const bool german : {false, true}) {
    JobBench b;
    if (german) b.p.German();
    b.Settings(false, 1);
    b.p.launcher.refuses = true;
    b.p.ui.ExpectBox(MsgAnswer::Ok);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(b.Run());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kelvane: could not start: the system started no process: " + b.target + "\n");
    EXPECT_EQ(b.p.end.code, ExitCode::RestartFailed);
    ASSERT_EQ(b.p.ui.boxes.size(), 1u);
    EXPECT_EQ(b.p.ui.boxes[0].text,
              german ? Lines({"Das Programm: ", b.target, "", "konnte nicht gestartet werden!"})
                     : Lines({"The program: ", b.target, "", "could not be started!"}));
    EXPECT_EQ(b.File(b.target), "new");
  }
}

// The bar shows while the download runs; a confirmed close, or a signal that
// asks the program to end (after a Cancel even), stops it and ends without
// starting anything (Cancel there, and the partial download removed: the
// end-to-end tests).
TEST(RunUpdate, ADownloadShowsItsProgressAndStopsOnAConfirmedCloseOrASignal) {
  for (const int stop : {0, 1, 2}) {  // none, the picture's OK, a signal
    SCOPED_TRACE(stop);
    const bool close = stop != 0;
    JobBench b;
    b.Settings(false, 0);
    b.p.fetcher.bodies[b.form->URL] = std::string(2000, 'n');
    b.p.fetcher.steps = 4;
    std::vector<int> shown;
    b.p.fetcher.atStep = [&](int step) {
      EXPECT_TRUE(b.form->DownloadProgress.Visible());
      shown.push_back(b.form->DownloadProgress.Value());
      if (step != 2 || !close) return;
      if (stop == 1) b.p.ui.ExpectBox(MsgAnswer::Ok);
      b.p.ui.AtNextYield([&] {
        if (stop == 1) return b.form->Dispatch(b.form->Picture2, UiEvent::DblClick);
        b.form->Dispatch(b.form->Command1, UiEvent::Click);
        b.form->EndAsked();
      });
    };
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(b.Run(), close);
    EXPECT_EQ(
        ::testing::internal::GetCapturedStderr(),
        close ? "kelvane: cancelled: stopped before the job was done: " + b.target + "\n" : "");
    EXPECT_FALSE(b.form->DownloadProgress.Visible());
    if (!close) {
      EXPECT_EQ(shown, (std::vector<int>{-1, 0, 250, 500}));
      EXPECT_EQ(b.form->DownloadProgress.ToolTip(), "1.5 kB / 2.0 kB");
      EXPECT_EQ(b.File(b.target).size(), 2000u);
      continue;
    }
    // The fetch stopped at the report after the click, and returned first.
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(b.p.end.code, ExitCode::Cancelled);
    EXPECT_EQ(b.File(b.target), "old");
    EXPECT_TRUE(b.p.launcher.started.empty());
  }
}

TEST(RunUpdate, ByteCountsRoundToATenthAndChangeUnitAtAThousand) {
  const std::pair<int64_t, const char*> rows[] = {
      {999, "999 bytes"}, {1050, "1.1 kB"}, {999999, "1000.0 kB"}, {4321000000000000, "4321.0 TB"}};
  for (const auto& [bytes, text] : rows) EXPECT_EQ(ByteCountText(bytes), text) << bytes;
}

// A download that cannot be moved (held open elsewhere) is copied into
// place; where the disk has room for the download and the backup but not for
// that copy, the first backup comes back and the download stays.
TEST(RunUpdate, AnUnmovableDownloadIsCopiedAndAFailedCopyRestoresTheBackup) {
  for (const bool roomForTheCopy : {true, false}) {
    SCOPED_TRACE(roomForTheCopy);
    JobBench b;
    b.Settings(false, 0);  // no question; the window stays open after the job
    b.p.fetcher.bodies[b.form->URL] = "new-version";
    if (!roomForTheCopy) b.p.fs.capacity = 3 + 11 + 3;
    b.p.fs.heldOpen.insert(b.target + "_");

    EXPECT_FALSE(b.Run());
    EXPECT_EQ(b.File(b.target), roomForTheCopy ? "new-version" : "old");
    EXPECT_EQ(b.File(b.target + ".old"), "old");
    if (roomForTheCopy) continue;
    EXPECT_EQ(b.form->Outcome, ExitCode::ReplaceFailed);
    EXPECT_EQ(b.File(b.target + "_"), "new-version");
    EXPECT_EQ(b.form->Command1.Text(), "Cancel");
  }
}

}  // namespace
}  // namespace kelvane::testing
