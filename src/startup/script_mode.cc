// Script mode: several jobs listed in a file, one per line.
#include <string_view>
#include <vector>

#include "common/text.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

constexpr std::string_view kScriptKeyword = "[BATCHFILE]";

// The lines of a script file, decoded from the system's code page. A line
// ends at CR LF or at a lone CR; a lone LF belongs to its line. The end of
// the file ends the last line. A file that cannot be read has no lines.
std::vector<std::string> ReadScriptLines(Platform& sys, const std::string& file) {
  std::vector<std::string> lines;
  const std::optional<std::string> bytes = sys.fs.Read(file);
  if (!bytes) return lines;
  const std::string& text = *bytes;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find(CR, begin);
    if (end == std::string::npos) end = text.size();
    // CR and LF are the same bytes in every code page: split before decoding.
    lines.push_back(sys.locale.DecodeSystemText(text.substr(begin, end - begin)));
    begin = end + 1;
    if (begin < text.size() && text[begin] == '\n') ++begin;
  }
  return lines;
}

}  // namespace

bool Form1::ScriptCheck() {
  UpperLine = UpperCase(CommandLine);
  const size_t at = InStr(UpperLine, kScriptKeyword);
  if (at == 0) return false;
  ScriptFile = Trim(Mid(CommandLine, at + kScriptKeyword.size()));
  ScriptMode = true;

  // The first job line fills and checks the window; only the first two lines
  // are looked at, and a missing line counts as blank.
  const std::vector<std::string> lines = ReadScriptLines(sys, ScriptFile);
  for (size_t i = 0; i < 2 && i < lines.size(); ++i) {
    if (IsBlank(lines[i])) continue;
    std::string line = lines[i];
    ParseParameters(line);
    break;
  }
  Label3.SetText("Script-Mode");
  Label4.SetVisible(false);
  return true;
}

void Form1::ScriptRun() {
  Label4.SetVisible(false);
  Label3.SetVisible(true);
  int jobs = 0;
  // Read once, when the run begins: a file that cannot be read then simply
  // has no jobs, and the run still comes to its end below.
  for (const std::string& line : ReadScriptLines(sys, ScriptFile)) {
    if (!IsBlank(line)) {
      ++jobs;
      Command1.SetEnabled(false);
      Label3.SetText("ScriptMode: " + std::to_string(jobs));
      std::string job = line;
      ParseParameters(job);
      Command1.SetEnabled(false);
      RunUpdate();
    }
    DoEvents();
  }
  Command1.SetEnabled(true);
  Command1.SetText("Close");
  if (Outcome == ExitCode::Cancelled) Outcome = ExitCode::Done;  // no job failed
}

}  // namespace kelvane
