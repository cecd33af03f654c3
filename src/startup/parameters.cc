// The command line: fetching the argument text and parsing a parameter line.
#include <algorithm>

#include "common/error_line.h"
#include "common/text.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

// Removes a switch keyword from the working copy and from the line; true if
// it was present.
bool TakeSwitch(std::string& upper, std::string& line, const char* keyword) {
  if (InStr(upper, keyword) == 0) return false;
  upper = Trim(ReplaceText(upper, keyword, "", 0));
  line = Trim(ReplaceText(line, keyword, "", 0));
  return true;
}

// Removes a value keyword with the word after it from the working copy and
// from the line; returns the word, or "" when the keyword is absent.
std::string TakeValue(std::string& upper, std::string& line, std::string_view keyword) {
  const size_t at = InStr(upper, keyword);
  if (at == 0) return "";
  const size_t start =
      std::min(upper.find_first_not_of(" \t", at - 1 + keyword.size()), upper.size());
  const size_t stop = std::min(upper.find_first_of(" \t", start), upper.size());
  const std::string value = line.substr(start, stop - start);
  upper = Trim(upper.erase(at - 1, stop - (at - 1)));
  line = Trim(line.erase(at - 1, stop - (at - 1)));
  // A keyword without a word still counts as given, and is then malformed.
  return value.empty() ? std::string(keyword) : value;
}

// The value that follows `key` up to the character in front of `next` (or to
// the end of the line when `next` is null). False when it cannot be cut: a
// keyword is missing or they stand in the wrong order.
bool CutValue(const std::string& upper, const std::string& line, const char* key, const char* next,
              std::string& value) {
  const size_t keyAt = InStr(upper, key);
  if (keyAt == 0) return false;
  const size_t start = keyAt + std::string_view(key).size();
  if (next == nullptr) {
    value = Trim(Mid(line, start));
    return true;
  }
  const long length = static_cast<long>(InStr(upper, next)) - 1 - static_cast<long>(start);
  if (length < 0) return false;
  value = Trim(Mid(line, start, static_cast<size_t>(length)));
  return true;
}

}  // namespace

std::string Form1::BefZeileAbrufen() {
  const std::string text = sys.facts.ArgumentText();
  std::string result;
  int words = 0;
  bool inWord = false;
  for (char c : text) {
    result += c;
    if (c == ' ' || c == '\t') {
      inWord = false;
    } else if (!inWord) {
      if (words == 20) break;
      ++words;
      inWord = true;
    }
  }
  return result;
}

void Form1::ParseParameters(std::string& line) {
  UpperLine = UpperCase(line);
  Ask = !TakeSwitch(UpperLine, line, "[NOASK]");
  AutoStart = TakeSwitch(UpperLine, line, "[AUTOSTART]");
  SkipInfo = TakeSwitch(UpperLine, line, "[SKIPINFO]");
  Check.sha256 = TakeValue(UpperLine, line, "[SHA256]");
  Check.publicKey = TakeValue(UpperLine, line, "[PUBKEY]");

  HasParam1 = false;
  Param1.clear();
  HasParam1 = InStr(UpperLine, "[PARAM1]") != 0;
  const bool hasParam2 = InStr(UpperLine, "[PARAM2]") != 0;

  Label1.SetText(Tr("'" + StartBtn.Text() + "' startet den Download:",
                    "Press '" + StartBtn.Text() + "' to start download:"));
  DoEvents();

  if (!CutValue(UpperLine, line, "[URL]", "[PATH]", URL)) return;
  if (!HasParam1) {
    CutValue(UpperLine, line, "[PATH]", nullptr, Path);
    return;
  }
  if (!CutValue(UpperLine, line, "[PATH]", "[PARAM1]", Path)) return;
  if (hasParam2) {
    if (!CutValue(UpperLine, line, "[PARAM1]", "[PARAM2]", Param1)) return;
    CutValue(UpperLine, line, "[PARAM2]", nullptr, Param2);
  } else {
    CutValue(UpperLine, line, "[PARAM1]", nullptr, Param1);
  }
}

std::optional<std::string> Form1::ValuesWrong() {
  // A control character (a NUL above all) would cut a file name short or
  // change what it names; a folder is no file to replace.
  for (const std::string* value : {&URL, &Path, &Param1, &Param2})
    for (const unsigned char c : *value)
      if (c < 0x20 || c == 0x7F) return "a control character in a value";
  const auto attributes = sys.fs.Attributes(Path);
  if (attributes && (*attributes & FileSystem::kAttributeDirectory)) return "[PATH] names a folder";
  return Check.Malformed();
}

void Form1::RefuseParameters(const std::string& line, const std::string& reason) {
  WriteErrorLine("wrong parameter", reason, line);
  MsgBox(Tr("Falsche Parameter", "Wrong parameter") + CR + line, MsgButtons::Ok, MsgIcon::None);
  EndProcess(ExitCode::WrongParameter);
}

}  // namespace kelvane
