// Failures of the settings file that only an ordinary user meets: files and folders without
// access, and a full disk. Registered to run as "nobody" (tests/run-unprivileged), with the small
// disk it names in KORVU_TEST_SMALL_DISK. Everything it uses is made at run time.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "job/job.h"
#include "job/settings_file.h"
#include "tests/settings/settings_test_util.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

namespace fs = std::filesystem;
using test::Listing;

constexpr const char* kOldFile = "[Other]\r\nx=1\r\n\r\n[Korvu]\r\nBitrate=700\r\n\r\n";

std::string OpenMessage(const std::string& path, const std::string& reason) {
  return "Datei " + path + " kann nicht geöffnet werden. " + reason;
}

std::string CreateMessage(const std::string& path, const std::string& reason) {
  return "Datei \"" + path + "\" kann nicht erstellt werden. " + reason;
}

// Writes to `name` until the disk is full.
void FillDisk(const std::string& name) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0) << name;
  const std::string block(4096, 'x');
  int code = 0;
  for (std::size_t size = block.size(); size > 0; size /= 2) {
    while (write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
    }
    code = errno;
  }
  close(fd);
  ASSERT_EQ(code, ENOSPC);
}

// Where a case puts its files: the temporary folder, or the small disk.
struct Place {
  fs::path folder;
  std::string path;  // the settings file the operation gets
};

struct FailureCase {
  const char* name;
  bool save;  // else load
  std::function<void(Place&)> prepare;
  std::function<std::string(const Place&)> message;
  bool small_disk = false;

  friend void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }
};

class FailureTest : public testing::TestWithParam<FailureCase> {
 protected:
  FailureTest() {
    job_.Settings().Bitrate.SetText("1500");
    job_.SetFParamsLive(true);
    job_.OnParamsUpdated([this] { ++rebuilds_; });
  }

  void SetUp() override {
    // As root every permission case would pass for the wrong reason.
    ASSERT_NE(geteuid(), 0u) << "run me through tests/run-unprivileged, as an ordinary user";
  }

  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job job_{rules_};
  int rebuilds_ = 0;
};

TEST_P(FailureTest, ReportsAndLeavesEverythingAsItWas) {
  const FailureCase& c = GetParam();
  test::TempDir temp;
  Place place{temp.path() / "place", ""};
  if (c.small_disk) {
    const char* disk = std::getenv("KORVU_TEST_SMALL_DISK");
    ASSERT_NE(disk, nullptr) << "KORVU_TEST_SMALL_DISK must name a small, empty file system";
    place.folder = fs::path(disk) / "place";
  }
  fs::create_directory(place.folder);
  place.path = (place.folder / "settings.ini").string();
  c.prepare(place);
  const std::vector<std::string> files = Listing(place.folder);
  const auto values = test::Snapshot(job_.Settings());
  std::string message;
  try {
    c.save ? SaveSettings(job_, place.path) : LoadSettings(job_, place.path, nullptr);
  } catch (const Error& error) {
    message = error.what();
  }
  fs::permissions(place.folder, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_EQ(message, c.message(place));
  EXPECT_EQ(Listing(place.folder), files);
  std::error_code no_file;
  if (fs::is_regular_file(place.path, no_file)) {
    fs::permissions(place.path, fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(test::ReadFile(place.path), kOldFile);
  }
  EXPECT_EQ(test::Snapshot(job_.Settings()), values);
  EXPECT_TRUE(job_.FParamsLive());
  EXPECT_EQ(rebuilds_, 0);
  if (c.small_disk) fs::remove_all(place.folder);
}

void OldFile(Place& place, fs::perms perms) {
  std::ofstream(place.path, std::ios::binary) << kOldFile;
  fs::permissions(place.path, perms);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureTest,
    testing::Values(
        FailureCase{"load_without_read_permission", false,
                    [](Place& p) { OldFile(p, fs::perms::owner_write); },
                    [](const Place& p) { return OpenMessage(p.path, "Permission denied"); }},
        FailureCase{"save_without_read_permission", true,
                    [](Place& p) { OldFile(p, fs::perms::owner_write); },
                    [](const Place& p) { return OpenMessage(p.path, "Permission denied"); }},
        FailureCase{"save_read_only_file", true,
                    [](Place& p) { OldFile(p, fs::perms::owner_read | fs::perms::group_read); },
                    [](const Place& p) { return CreateMessage(p.path, "Permission denied"); }},
        FailureCase{"save_into_folder_without_write_access", true,
                    [](Place& p) {
                      OldFile(p, fs::perms::owner_read | fs::perms::owner_write);
                      fs::permissions(p.folder, fs::perms::owner_read | fs::perms::owner_exec);
                    },
                    [](const Place& p) { return CreateMessage(p.path, "Permission denied"); }},
        FailureCase{"save_new_file_into_folder_without_write_access", true,
                    [](Place& p) {
                      fs::permissions(p.folder, fs::perms::owner_read | fs::perms::owner_exec);
                    },
                    [](const Place& p) { return CreateMessage(p.path, "Permission denied"); }},
        FailureCase{
            "save_into_missing_folder", true,
            [](Place& p) { p.path = (p.folder / "missing" / "settings.ini").string(); },
            [](const Place& p) { return CreateMessage(p.path, "No such file or directory"); }},
        FailureCase{
            "save_under_a_name_too_long", true,
            [](Place& p) { p.path = (p.folder / (std::string(300, 'n') + ".ini")).string(); },
            [](const Place& p) { return CreateMessage(p.path, "File name too long"); }},
        FailureCase{"save_onto_a_full_disk", true,
                    [](Place& p) {
                      OldFile(p, fs::perms::owner_read | fs::perms::owner_write);
                      FillDisk((p.folder / "filler").string());
                    },
                    [](const Place&) { return std::string("Stream-Schreibfehler"); }, true},
        FailureCase{"save_through_a_link_to_dev_full", true,
                    [](Place& p) { fs::create_symlink("/dev/full", p.path); },
                    [](const Place&) { return std::string("Stream-Schreibfehler"); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvu::job
