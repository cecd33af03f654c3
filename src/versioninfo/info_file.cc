// Release notes that lie next to the download.
#include <algorithm>
#include <string_view>

#include "common/paths.h"
#include "common/text.h"
#include "download/fetch_policy.h"
#include "ui/form1.h"
#include "ui/window_handling.h"
#include "versioninfo/notes_encoding.h"

namespace kelvane {
namespace {

constexpr const char* kInfoTempName = "info_tempdownloadfile.txt";
constexpr int kInfoFormHeight = 4980;       // twips, room for the info text
constexpr int kInfoControlFrameTop = 2520;  // twips inside Frame1, below the text

// The address of the information file: the download's address with its
// extension replaced by ".txt". The extension is found by position only: a
// dot four, three, five or two characters before the end, in this order.
std::string InfoUrlOf(std::string url) {
  if (!url.empty() && url.back() == '/') url.pop_back();
  const size_t n = url.size();
  for (size_t extension : {4u, 3u, 5u, 2u}) {
    if (n > extension && url[n - extension - 1] == '.')
      return url.substr(0, n - extension - 1) + ".txt";
  }
  return url + ".txt";
}

// The file's lines, each followed by CR LF. A line ends at a CR, a CR LF
// pair or the end of the file, so it holds no CR; each LF in it becomes one.
std::string JoinLines(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(CR, start);
    if (end == std::string_view::npos) end = text.size();
    const size_t line = joined.size();
    joined.append(text.substr(start, end - start));
    std::replace(joined.begin() + line, joined.end(), '\n', CR);
    joined += "\r\n";
    start = end + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return joined;
}

// Every line break (CR LF, a lone CR or a lone LF) becomes CR LF.
std::string WithCrLf(std::string_view text) {
  const std::string lf = ReplaceText(ReplaceText(text, "\r\n", "\n", 0), "\r", "\n", 0);
  return ReplaceText(lf, "\n", "\r\n", 0);
}

}  // namespace

void Form1::ReadInfoFile() {
  const std::string infoUrl = InfoUrlOf(URL);

  Label1.SetText(Tr("Suche Versions - Info ...", "Searching for Version Info ..."));
  DoEvents();  // paints the text before the fetch blocks the window

  // Kelvane's own folder, unless it cannot be written (an installed
  // program): then the user's private temporary folder. A file left there
  // by a crashed run goes first.
  std::string infoTempFile = WithTrailingSeparator(sys.facts.ExeFolder()) + kInfoTempName;
  sys.fs.Remove(infoTempFile);
  if (!sys.fs.Write(infoTempFile, "") || !sys.fs.Remove(infoTempFile)) {
    infoTempFile = sys.facts.TempFolder() + kInfoTempName;
    sys.fs.Remove(infoTempFile);
  }
  Download(infoUrl, infoTempFile, kNotesLimit);
  Label1.SetText("info loaded ..");
  if (!sys.fs.IsPresent(infoTempFile)) return;

  std::string text;  // one copy of the file at a time: it may be large
  if (auto bytes = sys.fs.Read(infoTempFile)) text = DecodeNotes(*bytes, sys.locale);
  sys.fs.Delete(infoTempFile, nullptr);
  text = JoinLines(text);
  if (text.empty()) return;

  text = WithCrLf(text);
  VersionsInfoText.SetText(text);
  VersionsInfoText.SetVisible(true);
  Form.SetHeight(kInfoFormHeight);
  RoundWindow(*this, 40);
  ControlFrame.SetTop(kInfoControlFrameTop);
  Label1.SetText("Versions Info");
}

}  // namespace kelvane
