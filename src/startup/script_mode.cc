// Script mode: several jobs listed in a file, one per line.
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/paths.h"
#include "common/text.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

constexpr std::string_view kScriptKeyword = "[BATCHFILE]";

// The lines of a script file, read a part at a time so that memory stays
// flat whatever the file's size, each decoded from the system's code page. A
// line ends at CR LF, at a lone CR and, where the platform says so, at a lone
// LF; the end of the file ends the last line. A file that cannot be read has
// no lines.
class ScriptLines {
 public:
  ScriptLines(Platform& sys, std::string file) : sys_(sys), file_(std::move(file)) {}

  // The next line, or nothing at the end of the file.
  std::optional<std::string> Next() {
    const char* ends = sys_.fs.LineFeedEndsLine() ? "\r\n" : "\r";
    for (;;) {
      const size_t end = buffer_.find_first_of(ends, begin_);
      // A CR at the end of the buffer may be followed by its LF in the next part.
      if (end != std::string::npos && (end + 1 < buffer_.size() || atEnd_))
        return Cut(end, end + (buffer_.compare(end, 2, "\r\n") == 0 ? 2 : 1));
      if (atEnd_ && begin_ == buffer_.size()) return std::nullopt;
      if (atEnd_) return Cut(buffer_.size(), buffer_.size());
      ReadPart();
    }
  }

 private:
  static constexpr size_t kPart = 64 * 1024;

  std::string Cut(size_t end, size_t next) {
    // CR and LF are the same bytes in every code page: split before decoding.
    std::string line = sys_.locale.DecodeSystemText(buffer_.substr(begin_, end - begin_));
    begin_ = next;
    return line;
  }

  void ReadPart() {
    buffer_.erase(0, begin_);
    begin_ = 0;
    const std::optional<std::string> part = sys_.fs.ReadPart(file_, offset_, kPart);
    if (!part || part->size() < kPart) atEnd_ = true;
    if (!part) return;
    buffer_ += *part;
    offset_ += part->size();
  }

  Platform& sys_;
  const std::string file_;
  std::string buffer_;
  size_t begin_ = 0;
  uint64_t offset_ = 0;
  bool atEnd_ = false;
};

}  // namespace

bool Form1::ScriptCheck() {
  UpperLine = UpperCase(CommandLine);
  const size_t at = InStr(UpperLine, kScriptKeyword);
  if (at == 0) return false;
  ScriptFile = Trim(Mid(CommandLine, at + kScriptKeyword.size()));
  ScriptMode = true;

  // The first job line fills and checks the window; only the first two lines
  // are looked at, and a missing line counts as blank.
  ScriptLines lines(sys, ScriptFile);
  for (int i = 0; i < 2; ++i) {
    std::optional<std::string> line = lines.Next();
    if (!line) break;
    if (IsBlank(*line)) continue;
    ParseParameters(*line);
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
  // A file that cannot be read simply has no jobs, and the run still comes
  // to its end below.
  ScriptLines lines(sys, ScriptFile);
  while (const std::optional<std::string> line = lines.Next()) {
    if (!IsBlank(*line)) {
      ++jobs;
      Command1.SetEnabled(false);
      Label3.SetText("ScriptMode: " + std::to_string(jobs));
      std::string job = *line;
      ParseParameters(job);
      if (const auto wrong = ValuesWrong()) RefuseParameters(*line, *wrong);
      Path = AbsolutePath(Path, startFolder_);
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
