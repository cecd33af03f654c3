// The links to the homepage: version check and homepage.
#include "common/text.h"
#include "launch/web_page.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

constexpr int kNormalWindow = 1;  // shown normally and activated

}  // namespace

// Shows the newest build's release notes and offers its download in the
// browser. The job's URL and info text are borrowed and given back.
void Form1::DLVersion_Click() {
  const std::string jobUrl = URL;
  URL = std::string(kHomepage) + "Update.txt";
  const std::string jobInfoText = VersionsInfoText.Text();
  ReadInfoFile();
  URL = jobUrl;

  const std::string question = ReplaceText(VersionsInfoText.Text(), "\r\n", "\r", 0) + CR + CR +
                               Tr("jetzt herunterladen? (Homepage)", "download now? (Web-Page)");
  const MsgAnswer answer = MsgBox(question, MsgButtons::YesNo, MsgIcon::Question, "Download?");
  VersionsInfoText.SetText(jobInfoText);
  if (answer == MsgAnswer::No) return;

  OpenWebPage(sys, std::string(kHomepage) + "Update.exe", kNormalWindow);
  DLVersion.SetVisible(false);
}

void Form1::Label4_Click() { OpenWebPage(sys, kHomepage, kNormalWindow); }

}  // namespace kelvane
