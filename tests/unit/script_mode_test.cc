#include <gtest/gtest.h>

#include "unit/job_bench.h"

namespace kelvane::testing {
namespace {

const std::string kScript = "C:\\Jobs\\list.txt";

// A window started with a script; the URLs u1, u2 ... serve "new1", "new2" ...
struct ScriptBench : JobBench {
  explicit ScriptBench(const std::string& script) : JobBench("C:\\Apps\\a.exe", "a0") {
    p.fs.Put(kScript, script);
    for (int i = 1; i <= 4; ++i)
      p.fetcher.bodies["u" + std::to_string(i)] = "new" + std::to_string(i);
    p.facts.arguments = "[BatchFile]  " + kScript + " ";
    form->URL.clear();  // a fresh window knows no job yet
    form->Path.clear();
  }
  // Loads the window; what the load looked up (release notes) is forgotten,
  // so that the fetches seen afterwards are the script run's own.
  bool Load() {
    const bool ended = fakes::Ends([&] { form->Form_Load(); });
    p.fetcher.calls.clear();
    return ended;
  }
  bool Start() {
    return fakes::Ends([&] { form->Dispatch(form->StartBtn, UiEvent::Click); });
  }
  std::vector<std::string> Fetched() const {
    std::vector<std::string> urls;
    for (const auto& call : p.fetcher.calls) urls.push_back(call.first);
    return urls;
  }
};

TEST(ScriptMode, StartUpPreviewsTheFirstJobLineOrRejectsTheFile) {
  ScriptBench b(
      "  \r\n[URL] u1 [PATH] \"C:\\A B\\one.exe\" [SKIPINFO]\r\n[URL] u2 [PATH] C:\\two.exe");
  EXPECT_FALSE(b.Load());
  EXPECT_EQ(b.form->Path, "C:\\A B\\one.exe");
  EXPECT_EQ(b.form->Label3.Text(), "Script-Mode");
  EXPECT_FALSE(b.form->Label4.Visible());

  // Missing, binary, two blank lines first, words after the file name.
  for (const auto& [script, arguments] : std::vector<std::pair<std::string, std::string>>{
           {"", "[BATCHFILE] C:\\Jobs\\missing.txt"},
           {std::string("\x00\x89PNG\r\n\x1A\xFF[PATH] x", 17), ""},
           {" \r\r[URL] u1 [PATH] C:\\three.exe", ""},
           {"[URL] u1 [PATH] C:\\one.exe", "[BATCHFILE] " + kScript + " [NOASK]"},
           {std::string("[URL] u1 [PATH] C:\\one.exe\0/x", 29), ""},  // a NUL would cut the name
           {"[URL] u1 [PATH] C:\\Jobs", ""}}) {                       // a folder
    SCOPED_TRACE(script + arguments);
    ScriptBench bad(script);
    bad.p.fs.folders.insert("C:\\Jobs");
    if (!arguments.empty()) bad.p.facts.arguments = arguments;
    bad.p.ui.ExpectBox(MsgAnswer::Ok);
    EXPECT_TRUE(bad.Load());
    ASSERT_EQ(bad.p.ui.boxes.size(), 1u);
    EXPECT_EQ(bad.p.ui.boxes[0].text, Lines({"Wrong parameter", bad.p.facts.arguments}));
  }
}

TEST(ScriptMode, RunWorksThroughEveryJobLineInOrder) {
  ScriptBench b(
      "[URL] u1 [PATH] C:\\Apps\\a.exe\r\n"
      "\r\n   \r"
      "[URL] u2 [PATH] C:\\Apps\\gr\xFCn.exe\r"
      "[URL] u3 [PATH] C:\\Apps\\a.exe\n[URL] u4 [PATH] C:\\Apps\\d.exe\r\n");
  EXPECT_FALSE(b.Load());
  b.p.ui.ExpectBox(MsgAnswer::Ok);
  EXPECT_TRUE(b.Start());

  // The lone LF is part of the third job's line, which a control character
  // makes a wrong one: it ends the run, and u4 is never fetched.
  EXPECT_EQ(b.p.end.code, ExitCode::WrongParameter);
  EXPECT_EQ(b.p.ui.boxes.back().text.substr(0, 16), "Wrong parameter\r");
  EXPECT_EQ(b.Fetched(), (std::vector<std::string>{"u1", "u2"}));
  EXPECT_EQ(b.p.fetcher.calls[1].second, "C:\\Apps\\grün.exe_");
  EXPECT_EQ(b.p.ui.texts["Label3"], (std::vector<std::string>{"Script-Mode", "ScriptMode: 1",
                                                              "ScriptMode: 2", "ScriptMode: 3"}));
  EXPECT_EQ(b.File("C:\\Apps\\a.exe"), "new1");
  EXPECT_EQ(b.File("C:\\Apps\\grün.exe"), "new2");
}

TEST(ScriptMode, FatalJobOrUnreadableFileEndsTheRun) {
  ScriptBench fatal(
      "[URL] u1 [PATH] C:\\Apps\\a.exe\r\n[URL] gone [PATH] C:\\Apps\\b.exe\r\n"
      "[URL] u3 [PATH] C:\\Apps\\c.exe");
  EXPECT_FALSE(fatal.Load());
  fatal.p.ui.ExpectBox(MsgAnswer::Ok);  // the download error
  EXPECT_TRUE(fatal.Start());
  EXPECT_EQ(fatal.Fetched(), (std::vector<std::string>{"u1", "gone"}));
  EXPECT_EQ(fatal.form->Label3.Text(), "ScriptMode: 2");

  ScriptBench vanished("[URL] u1 [PATH] C:\\Apps\\a.exe");
  EXPECT_FALSE(vanished.Load());
  vanished.p.fs.files.erase(kScript);
  EXPECT_FALSE(vanished.Start());
  EXPECT_TRUE(vanished.p.fetcher.calls.empty());
  EXPECT_EQ(vanished.form->Command1.Text(), "Close");
}

// Where a lone LF ends a line (Linux), any of the three line ends may follow a
// job; one job line is longer than any part that is read.
TEST(ScriptMode, AMegabyteScriptIsReadAPartAtATime) {
  const char* ends[] = {"\r\n", "\n", "\r"};
  const std::string longParameter(100 * 1024, 'p');
  std::string script;
  for (int i = 1; i <= 3; ++i) {
    script += "[URL] u" + std::to_string(i) + " [PATH] C:\\Apps\\t.exe [PARAM1] " +
              (i == 2 ? longParameter : "x") + ends[i % 3];
    for (int blank = 0; blank < 200000; ++blank) script += ends[blank % 3];
  }
  ScriptBench b(script);
  b.p.fs.lineFeedEndsLine = true;
  EXPECT_FALSE(b.Load());
  EXPECT_FALSE(b.Start());
  EXPECT_EQ(b.Fetched(), (std::vector<std::string>{"u1", "u2", "u3"}));
  EXPECT_LE(b.p.fs.largestPart, 64u * 1024);
}

}  // namespace
}  // namespace kelvane::testing
