#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "job/job.h"
#include "job/settings_file.h"
#include "job/text_rules.h"
#include "tests/settings/settings_test_util.h"
#include "tests/support/temp_dir.h"

// scripts/stage, which ./run uses: the Korvu.ini it writes must load in the window as the window's
// defaults with the staged encoder, and must never replace a user's file.

namespace korvu::job {
namespace {

namespace fs = std::filesystem;

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs scripts/stage on `folder` (with the folder the programs are installed to, when given);
// returns its exit status.
int Stage(const fs::path& folder, const std::string& installed = "") {
  std::string command = ShellQuoted(std::string(KORVU_SOURCE_DIR) + "/scripts/stage") + " " +
                        ShellQuoted(folder.string());
  if (!installed.empty()) command += " " + ShellQuoted(installed);
  command += " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A build's bin/ folder: the three programs side by side.
fs::path MakeBinFolder(const test::TempDir& dir, const std::string& name) {
  for (const char* program : {"Korvu", "korvu-cmd", "korvu-enc"}) {
    const std::string path = dir.Write(name + "/" + program, "#!/bin/sh\n");
    chmod(path.c_str(), 0755);
  }
  return fs::canonical(dir.path() / name);
}

// As start-up leaves a job before it loads the default settings file: 4 processors.
void StartUp(Job& job) {
  job.Settings().Threads.SetMax(8);
  job.Settings().Threads.SetValue(4);
  job.SetFParamsLive(true);
  job.UpdateParams();
}

class StagedSettingsTest : public testing::TestWithParam<const char*> {
 protected:
  test::TempDir dir_;
  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
};

TEST_P(StagedSettingsTest, LoadsAsTheDefaultsWithTheStagedEncoder) {
  const fs::path bin = MakeBinFolder(dir_, GetParam());
  ASSERT_EQ(Stage(bin), 0);
  const std::string ini = bin / "Korvu.ini";

  Job defaults(rules_), loaded(rules_);
  StartUp(defaults);
  StartUp(loaded);
  LoadSettings(loaded, ini, nullptr);

  const std::string encoder = bin / "korvu-enc";
  EXPECT_EQ(loaded.Settings().Encoder.Text(), QuotePath(encoder));
  EXPECT_EQ(rules_.FileName(loaded.Settings().Encoder.Text()), encoder);
  // Threads: the encoder decides. BRef: every load checks it while the pyramid is off.
  EXPECT_EQ(test::Snapshot(loaded.Settings()),
            test::With(test::Snapshot(defaults.Settings()),
                       {{"Encoder", QuotePath(encoder)}, {"Threads", "0"}, {"BRef", "checked"}}));

  // The file is exactly what the window itself saves from that state.
  const std::string saved = dir_ / "saved.ini";
  SaveSettings(loaded, saved);
  EXPECT_EQ(test::ReadFile(saved), test::ReadFile(ini));
}

INSTANTIATE_TEST_SUITE_P(Folders, StagedSettingsTest,
                         testing::Values("bin", "with blank", "Tom&Jerry", "caret^only"));

TEST(StageTest, KeepsAnExistingSettingsFile) {
  test::TempDir dir;
  const fs::path bin = MakeBinFolder(dir, "bin");
  dir.Write("bin/Korvu.ini", "[Korvu]\r\nBitrate=700\r\n");
  EXPECT_EQ(Stage(bin), 0);
  EXPECT_EQ(test::ReadFile(bin / "Korvu.ini"), "[Korvu]\r\nBitrate=700\r\n");
}

// The window never takes a name with a double quote for a file, so it could not load the file.
TEST(StageTest, WritesNoSettingsFileTheWindowCannotRead) {
  test::TempDir dir;
  const fs::path bin = MakeBinFolder(dir, "say \"hi\"");
  EXPECT_EQ(Stage(bin), 0);
  EXPECT_FALSE(fs::exists(bin / "Korvu.ini"));
}

// A package's staged copy: the file names the encoder where the package installs it.
TEST(StageTest, AStagedCopyNamesTheInstalledEncoder) {
  test::TempDir dir;
  const fs::path bin = MakeBinFolder(dir, "stage/usr/lib/korvu");
  ASSERT_EQ(Stage(bin, "/usr/lib/korvu"), 0);
  const std::string text = test::ReadFile(bin / "Korvu.ini");
  EXPECT_NE(text.find("\r\nEncoder=/usr/lib/korvu/korvu-enc\r\n"), std::string::npos) << text;

  const fs::path other = MakeBinFolder(dir, "other");
  ASSERT_EQ(Stage(other, "/opt/my tools"), 0);
  EXPECT_NE(test::ReadFile(other / "Korvu.ini").find("Encoder=\"/opt/my tools/korvu-enc\"\r\n"),
            std::string::npos);

  const fs::path relative = MakeBinFolder(dir, "relative");
  EXPECT_NE(Stage(relative, "usr/lib/korvu"), 0);
  EXPECT_FALSE(fs::exists(relative / "Korvu.ini"));
}

TEST(StageTest, RefusesAFolderWithoutTheEncoder) {
  test::TempDir dir;
  const fs::path bin = MakeBinFolder(dir, "bin");
  fs::remove(bin / "korvu-enc");
  EXPECT_NE(Stage(bin), 0);
  EXPECT_FALSE(fs::exists(bin / "Korvu.ini"));
}

}  // namespace
}  // namespace korvu::job
