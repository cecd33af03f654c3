#include "launch/web_page.h"

#include "common/paths.h"
#include "common/text.h"
#include "launch/desktop_exec.h"
#include "launch/run_file.h"

namespace kelvane {
namespace {

// Asks which program opens a short-lived file written for the question.
std::string AskWithProbe(Platform& sys, const std::string& probe, const std::string& contents) {
  sys.fs.Write(probe, contents);
  std::string program = FindExe(sys.launcher, probe);
  sys.fs.Delete(probe, nullptr);
  return program;
}

// The type by which a file is opened: from its last dot on; a name without
// a dot or shorter than four characters stands for itself.
std::string TypeOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (name.size() < 4 || dot == std::string::npos) return Trim(name);
  return name.substr(dot);
}

}  // namespace

std::optional<uint32_t> OpenWebPage(Platform& sys, const std::string& url, int windowStyle) {
  const std::string probe = sys.facts.ProbeFolder() + "QrxX00001.html";
  sys.fs.Write(probe, " \r\n");
  const std::string browser = GetExeForFile(sys, probe);
  // A desktop that starts programs by their entries starts the browser so.
  const auto words = DesktopCommand(sys.launcher.AssociatedEntries(probe), url);
  sys.fs.Delete(probe, nullptr);
  if (words) return sys.launcher.StartWords(*words);
  // Without a browser the command has no program and fails to start.
  return sys.launcher.CreateProcess(browser + " " + url, windowStyle);
}

std::string GetExeForFile(Platform& sys, const std::string& file) {
  const bool created = !sys.fs.IsPresent(file) && sys.fs.Write(file, "");
  const char separator = SeparatorOf(file);
  const std::string currentFolder = sys.fs.CurrentFolder();

  const size_t split = file.rfind(separator);
  const std::string folder = split == std::string::npos ? "" : file.substr(0, split + 1);
  const std::string name = file.substr(folder.size());

  // A file that is not there (it could not be created) is asked about by a
  // copy of its name in the probe folder.
  std::string program =
      sys.fs.IsPresent(folder + name)
          ? FindExe(sys.launcher, folder + name)
          : AskWithProbe(sys, sys.facts.ProbeFolder() + "zzzzzzzTemp_" + name, "  \r\n");
  if (program.empty())
    program = AskWithProbe(sys, sys.facts.ProbeFolder() + "RunFileTmp" + TypeOf(name), " \r\n");

  // The look-up leaves the process where it was.
  if (!currentFolder.empty()) sys.fs.SetCurrentDrive(currentFolder.front());
  sys.fs.SetCurrentFolder(currentFolder);
  if (created) sys.fs.Delete(file, nullptr);
  return program;
}

}  // namespace kelvane
