// The check of a job's download before anything is replaced.
#include "common/error_line.h"
#include "common/text.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

// Per target path: the timestamp of the last signed file installed there.
constexpr const char* kSignedSection = "SignedInstall";

}  // namespace

void Form1::CheckDownload(const std::string& download, const std::string& target) {
  if (Check.sha256.empty() && Check.publicKey.empty()) return;
  const std::string url = Unquote(URL);

  CheckFacts facts{UrlFileName(url), std::nullopt, std::nullopt};
  if (!Check.publicKey.empty()) {
    const std::string signature = download + ".minisig";
    sys.fs.Remove(signature);
    if (!Download(url + ".minisig", signature, kSignatureLimit + 1).empty())
      facts.signatureFile = sys.fs.Read(signature);
    sys.fs.Remove(signature);
    facts.installedSince = ParseSeconds(sys.settings.RegistryGet(kSignedSection, target, ""));
  }
  const CheckOutcome outcome = CheckDownloadFile(sys.fs, sys.ui, download, Check, facts);
  if (outcome.failure.empty()) {
    // Moved on once the file passed: anything signed earlier stays refused
    // here, even if this install fails further on.
    if (outcome.signedAt)
      sys.settings.RegistrySet(kSignedSection, target, std::to_string(*outcome.signedAt));
    return;
  }
  sys.fs.Remove(download);
  WriteErrorLine("check failed", outcome.failure, url);
  MsgBox(Tr(std::string("Die Prüfung des Downloads ist fehlgeschlagen!") + CR + url,
            std::string("The download failed its check!") + CR + url),
         MsgButtons::Ok, MsgIcon::None);
  EndProcess(ExitCode::CheckFailed);
}

}  // namespace kelvane
