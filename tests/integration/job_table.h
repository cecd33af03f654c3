#pragma once
// The file steps of an update job on the real file system, on both
// platforms: which files hold which bytes afterwards, and which message the
// job showed. The window, processes and the rest are the fakes.
#include <map>

#include "fakes/fake_platform.h"
#include "integration/test_folders.h"

namespace kelvane::testing {

inline std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : Listing(folder))
    if (fs::is_regular_file(folder / name)) files[name] = Slurp(folder / name);
  return files;
}

// Names and sizes, for a failure message that stays short.
inline std::string Describe(const std::map<std::string, std::string>& files) {
  std::string text;
  for (const auto& [name, bytes] : files) text += name + ":" + std::to_string(bytes.size()) + " ";
  return text;
}

struct JobCase {
  std::string name;
  std::map<std::string, std::string> before;  // "app", "app.old", ...
  std::map<std::string, std::string> after;
  std::string message = "";  // the first line of the one box shown, or none
  std::set<std::string> readOnly = {};
  bool ends = false;
  std::string target = "app", served = "app";
};

// Runs one job on `folder`/target with the program served from `base`/served.
inline void RunJobCase(FileSystem& files, Fetcher& fetcher, const fs::path& folder,
                       const std::string& base, const JobCase& row) {
  SCOPED_TRACE(row.name);
  for (const auto& [name, bytes] : row.before) Spit(folder / name, bytes);
  for (const std::string& name : row.readOnly)
    fs::permissions(folder / name,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  fakes::FakePlatform p;
  p.facts.exeFolder = fs::current_path().string();  // where the job leaves the current folder
  Platform real{p.ui,  p.processes, fetcher,  p.cache, p.launcher,
                files, p.settings,  p.locale, p.facts, p.end};
  Form1 form(real);
  form.Path = (folder / row.target).string();
  form.URL = base + "/" + row.served;
  form.Ask = false;  // the window stays open after the job
  form.RunProgramCheck.SetValue(0);
  if (!row.message.empty()) p.ui.ExpectBox(MsgAnswer::Ok);

  EXPECT_EQ(fakes::Ends([&] { form.RunUpdate(); }), row.ends);
  EXPECT_EQ(p.ui.boxes.size(), row.message.empty() ? 0u : 1u);
  if (!p.ui.boxes.empty()) {
    EXPECT_EQ(p.ui.boxes[0].text.substr(0, p.ui.boxes[0].text.find('\r')), row.message);
  }
  const auto after = Contents(folder);  // no download, lock or copy left behind
  EXPECT_TRUE(after == row.after) << Describe(after) << "instead of " << Describe(row.after);
  for (const std::string& name : Listing(folder))  // copies of read-only files are read-only
    fs::permissions(folder / name, fs::perms::owner_write, fs::perm_options::add);
}

// The folder a table's new program is served from, and its server.
struct JobServer {
  const fs::path served = NewTestFolder("job-served");
  const std::string fresh = "#!/bin/sh\necho new\n";
  LoopbackServer server{served};
  JobServer() { Spit(served / "app", fresh); }
  ~JobServer() { fs::remove_all(served); }
};

// The cases that hold on every platform: backups by rename or copy, a
// read-only first backup, a target that cannot be deleted.
inline std::vector<JobCase> CommonJobCases(const std::string& fresh) {
  return {
      {"both backups",
       {{"app", "old"}, {"app.old", "o1"}, {"app.old2", "o2"}},
       {{"app", fresh}, {"app.old", "old"}, {"app.old2", "o1"}}},
      {"first installation", {}, {{"app", fresh}}},
      {"stale download", {{"app", "old"}, {"app_", "stale"}}, {{"app", fresh}, {"app.old", "old"}}},
      {"read-only first backup",
       {{"app", "old"}, {"app.old", "ro"}},
       {{"app", fresh}, {"app.old", "ro"}, {"app.old2", "ro"}},
       "Fehler: Backup file is writeprotected!",
       {"app.old"}},
      {"undeletable target",
       {{"app", "old"}},
       {{"app", "old"}, {"app.old", "old"}},
       "Could not delete file:",
       {"app"}},
  };
}

// Each case in a fresh folder.
inline void RunJobCases(FileSystem& files, Fetcher& fetcher, const JobServer& server,
                        const std::vector<JobCase>& cases) {
  for (const JobCase& row : cases) {
    const fs::path folder = NewTestFolder("job");
    RunJobCase(files, fetcher, folder, server.server.Base(), row);
    fs::remove_all(folder);
  }
}

}  // namespace kelvane::testing
