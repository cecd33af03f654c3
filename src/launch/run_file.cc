#include "launch/run_file.h"

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"

namespace kelvane {
namespace {

constexpr int kLookupSucceeded = 32;  // lookup answers above this are successes

struct Command {
  std::string path;       // as written, quotes included
  std::string arguments;  // may be empty
};

// How the path is told from its arguments:
//  - a path that starts with a double quote runs up to its closing quote
//    (to the end when there is none);
//  - otherwise the path is the longest part up to a blank (or the end) that
//    names a present file, so an unquoted path with blanks still works when
//    the file is there;
//  - otherwise the path is the first word.
// The arguments are what follows, without the blanks around them.
Command SplitCommand(FileSystem& fs, const std::string& text) {
  auto at = [&](size_t end) { return Command{text.substr(0, end), Trim(text.substr(end))}; };
  if (!text.empty() && text.front() == '"') {
    const size_t closing = text.find('"', 1);
    return closing == std::string::npos ? Command{text, ""} : at(closing + 1);
  }
  for (size_t end = text.size(); end != std::string::npos && end > 0;
       end = text.rfind(' ', end - 1)) {
    if (fs.IsPresent(text.substr(0, end))) return at(end);
  }
  return at(std::min(text.find(' '), text.size()));
}

// ".EXE", ".COM" or ".bat" in any case.
bool HasProgramType(const std::string& file) {
  if (file.size() < 4) return false;
  const std::string type = UpperCase(file.substr(file.size() - 4));
  return type == ".EXE" || type == ".COM" || type == ".BAT";
}

// The platform takes the program from the command line's beginning, up to a
// blank unless it is quoted.
std::string Quoted(const std::string& program) {
  return program.find(' ') == std::string::npos ? program : '"' + program + '"';
}

std::string WithArguments(std::string commandLine, const std::string& arguments) {
  return arguments.empty() ? commandLine : commandLine + " " + arguments;
}

}  // namespace

std::string FindExe(Launcher& launcher, const std::string& file) {
  std::string program(256, ' ');
  if (launcher.FindExecutable(file, "", program) <= kLookupSucceeded) return "";
  return program.substr(0, program.find('\0'));
}

std::optional<uint32_t> StartFile(Platform& sys, std::string command, int windowStyle) {
  const Command parts = SplitCommand(sys.fs, Trim(command));

  std::string folder = sys.fs.CurrentFolder();
  if (!FolderOfPath(parts.path).empty()) folder = FolderOfPath(parts.path);
  std::string file = Trim(parts.path);
  folder = Unquote(folder);
  file = Unquote(file);
  file = StripQuotes(file);

  const char separator = SeparatorOf(folder);
  if (folder.empty() || folder.back() != separator) folder += separator;
  const size_t split = file.rfind(separator);
  if (split != std::string::npos) {
    folder = file.substr(0, split + 1);
    file = file.substr(split + 1);
  }

  auto startProgram = [&]() {
    const std::string full = folder + file;
    const std::string program = sys.fs.IsPresent(full) ? full : file;
    return sys.launcher.CreateProcess(WithArguments(Quoted(program), parts.arguments), windowStyle);
  };
  if (HasProgramType(file)) return startProgram();

  // A document: its associated program opens it, from the program's folder.
  folder = StripQuotes(folder);
  const std::string document = folder + file;
  std::string program = FindExe(sys.launcher, document);
  // A file that is its own associated program (an executable without a
  // program type, as on Linux) is started like a program.
  if (!program.empty() && program == document) return startProgram();

  const size_t programFolder = program.rfind(separator);
  if (programFolder != std::string::npos) {
    sys.fs.SetCurrentDrive(program.front());
    sys.fs.SetCurrentFolder(program.substr(0, programFolder));
  }
  if (!IsBlank(program)) program = Quoted(program) + " ";
  const std::string target = sys.fs.IsPresent(document) ? document : file;
  const std::string commandLine =
      document.find(' ') != std::string::npos ? program + '"' + target + '"' : program + document;
  const auto started =
      sys.launcher.CreateProcess(WithArguments(commandLine, parts.arguments), windowStyle);
  if (!folder.empty()) sys.fs.SetCurrentDrive(folder.front());
  sys.fs.SetCurrentFolder(folder);
  return started;
}

}  // namespace kelvane
