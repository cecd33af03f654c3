#include <gtest/gtest.h>

#include "download/fetch_policy.h"
#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

const std::string kTemp = "C:\\Tools\\info_tempdownloadfile.txt";

// How the window's size follows the notes: the end-to-end tests.
struct InfoFileTest : testing::Test {
  fakes::FakePlatform fake;
  std::unique_ptr<Form1> form = fake.MakeForm();

  // Serves `body` as "http://h/a.txt" and reads the notes of "http://h/a.exe".
  const std::string& Show(std::string body) {
    fake.fetcher.bodies["http://h/a.txt"] = std::move(body);
    form->URL = "http://h/a.exe";
    form->ReadInfoFile();
    EXPECT_FALSE(fake.fs.Has(kTemp));
    return form->VersionsInfoText.Text();
  }
};

TEST_F(InfoFileTest, InfoUrlReplacesTheExtensionFoundByPosition) {
  for (const auto& [url, info] : std::vector<std::pair<std::string, std::string>>{
           {"http://h.de/", "http://h.txt"},
           {"http://h/a..cfg", "http://h/a.txt"},                   // four before three
           {"http://h/tool.1.exe", "http://h/tool.1.txt"},          // three before five
           {"http://www.example.co.uk", "http://www.example.txt"},  // five before two
           {"http://h/file.abcdef", "http://h/file.abcdef.txt"},
       }) {
    form->URL = url;
    form->ReadInfoFile();
    EXPECT_EQ(fake.fetcher.calls.back(), std::pair(info, kTemp)) << url;
    EXPECT_EQ(form->URL, url);
  }
}

TEST_F(InfoFileTest, EveryLineBreakIsShownAsCrLf) {
  for (const auto& [file, shown] : std::vector<std::pair<std::string, std::string>>{
           {"a\rb\r", "a\r\nb\r\n"},
           {"a\nb", "a\r\nb\r\n"},
           {"a\nb\n", "a\r\nb\r\n\r\n"},  // one line whose final LF is a break of its own
           {"a\r\r\nb\n\rc", "a\r\n\r\nb\r\n\r\nc\r\n"},
           // Each encoding, its byte order mark dropped: "5 € –"; invalid UTF-8 is Windows-1252.
           {"5 \xE2\x82\xAC \xE2\x80\x93", "5 \xE2\x82\xAC \xE2\x80\x93\r\n"},
           {"\xEF\xBB\xBF"
            "5 \xE2\x82\xAC",
            "5 \xE2\x82\xAC\r\n"},
           {std::string("\xFF\xFE"
                        "5\0 \0\xAC\x20\n\0\x3D\xD8\x00\xDE",
                        14),
            "5 \xE2\x82\xAC\r\n\xF0\x9F\x98\x80\r\n"},
           {std::string("\xFE\xFF\0"
                        "5\xD8\x3D",
                        6),
            "5\xEF\xBF\xBD\r\n"},  // unpaired
           {"5 \x80 \x96 gr\xFC\xDF", "5 \xE2\x82\xAC \xE2\x80\x93 gr\xC3\xBC\xC3\x9F\r\n"},
       }) {
    EXPECT_EQ(Show(file), shown);
  }
}

TEST_F(InfoFileTest, FoundNotesAreAnnouncedOnTheStatusLine) {
  fake.ui.AtNextYield([&] {
    EXPECT_EQ(form->Label1.Text(), "Searching for Version Info ...");
    EXPECT_TRUE(fake.fetcher.calls.empty());
  });
  Show("Vers. 2");
  EXPECT_EQ(fake.ui.texts["Label1"], (std::vector<std::string>{"Searching for Version Info ...",
                                                               "info loaded ..", "Versions Info"}));
}

TEST_F(InfoFileTest, MissingOrEmptyNotesLeaveTheTextAsItWas) {
  fake.German();
  const std::string startText = form->VersionsInfoText.Text();
  fake.fs.Put(kTemp, "stale notes");  // removed before the fetch, never shown
  form->URL = "http://h/missing.exe";
  form->ReadInfoFile();
  EXPECT_FALSE(fake.fs.Has(kTemp));
  EXPECT_EQ(fake.ui.texts["Label1"],
            (std::vector<std::string>{"Suche Versions - Info ...", "info loaded .."}));

  EXPECT_EQ(Show(""), startText);
  EXPECT_FALSE(form->VersionsInfoText.Visible());
}

TEST_F(InfoFileTest, AReadOnlyOwnFolderHasTheNotesFetchedToTheTempFolder) {
  fake.fs.unwritableFolders.insert("C:\\Tools");
  fake.fs.Put("C:\\Temp\\info_tempdownloadfile.txt", "left by a crashed run");
  EXPECT_EQ(Show("Vers. 2"), "Vers. 2\r\n");
  EXPECT_EQ(fake.fetcher.calls.back().second, "C:\\Temp\\info_tempdownloadfile.txt");
  EXPECT_FALSE(fake.fs.Has("C:\\Temp\\info_tempdownloadfile.txt"));
}

// How long the largest notes take to show: bench/info_file_bench.
TEST_F(InfoFileTest, NotesAreShownUpToTheLimit) {
  const size_t limit = kNotesLimit;
  EXPECT_EQ(Show(std::string(limit, 'n') + "beyond the limit").size(), limit + 2);
}

}  // namespace
}  // namespace kelvane
