// Stand-in for the download until it joins this branch: a plain fetch,
// without the cache purge and the error record.
#include "download/url_download.h"

namespace kelvane {

std::string URLDownload(Platform& sys, ErrorRecord&, std::string url, std::string target) {
  return sys.fetcher.DownloadToFile(url, target) == 0 ? target : "";
}

}  // namespace kelvane
