#include "job/first_activation.h"

#include <gtest/gtest.h>

#include "job/encoder_discovery.h"
#include "job/error.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/fake_registry.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

using platform::RegistryKind;
using std::string_literals::operator""s;
using Value = test::FakeRegistry::Value;

constexpr std::string_view kKeyPath = R"(Software\DivXNetworks\DivX Codec H.264)";
const std::string kSuffix = R"(\DivX H.264 Codec CLI\bin\DivX264.exe)";

struct DiscoveryCase {
  std::string label;
  std::optional<Value> install_dir;  // none: the key holds no such value
  std::string encoder;               // the encoder text, or the error's message
  bool raises = false;
};

class DiscoveryTest : public testing::TestWithParam<DiscoveryCase> {};

TEST_P(DiscoveryTest, SetsTheQuotedPathOrRaises) {
  test::FakeRegistry registry;
  registry.AddKey(std::string(kKeyPath));
  if (GetParam().install_dir) registry.SetValue("Install_Dir", *GetParam().install_dir);
  try {
    EXPECT_EQ(DiscoverEncoder(registry, PathStyle::kWindows), GetParam().encoder);
    EXPECT_FALSE(GetParam().raises);
  } catch (const Error& error) {
    EXPECT_TRUE(GetParam().raises);
    EXPECT_EQ(error.what(), GetParam().encoder);
  }
  EXPECT_EQ(registry.open_keys(), 0) << "the key stays open";
}

INSTANTIATE_TEST_SUITE_P(
    Values, DiscoveryTest,
    testing::Values(DiscoveryCase{"Missing", std::nullopt, '"' + kSuffix + '"'},
                    DiscoveryCase{"Empty", Value{RegistryKind::kText, "\0"s}, '"' + kSuffix + '"'},
                    DiscoveryCase{"Folder",
                                  Value{RegistryKind::kText, "C:\\Program Files\\DivX\0"s},
                                  "\"C:\\Program Files\\DivX" + kSuffix + '"'},
                    DiscoveryCase{"NoBlankStillQuoted", Value{RegistryKind::kText, "C:\\DivX\0"s},
                                  "\"C:\\DivX" + kSuffix + '"'},
                    DiscoveryCase{"TrailingBackslash", Value{RegistryKind::kText, "C:\\DivX\\\0"s},
                                  "\"C:\\DivX\\" + kSuffix + '"'},
                    DiscoveryCase{"QuoteInFolder", Value{RegistryKind::kText, "C:\\a\"b\0"s},
                                  "\"C:\\a\"\"b" + kSuffix + '"'},
                    DiscoveryCase{"ExpandableKeptLiterally",
                                  Value{RegistryKind::kExpandText, "%ProgramFiles%\\DivX\0"s},
                                  "\"%ProgramFiles%\\DivX" + kSuffix + '"'},
                    DiscoveryCase{"UpToTheFirstNul", Value{RegistryKind::kText, "C:\\x\0junk\0"s},
                                  "\"C:\\x" + kSuffix + '"'},
                    DiscoveryCase{"EmptyBinaryIsNoError", Value{RegistryKind::kBinary, ""},
                                  '"' + kSuffix + '"'},
                    DiscoveryCase{"Number", Value{RegistryKind::kNumber, "\x0a\0\0\0"s},
                                  "Ungültiger Datentyp für 'Install_Dir'", true},
                    DiscoveryCase{"Binary", Value{RegistryKind::kBinary, "\x01"},
                                  "Ungültiger Datentyp für 'Install_Dir'", true},
                    DiscoveryCase{"Unreadable", Value{RegistryKind::kText, "C:\\x\0"s, false},
                                  "Fehler beim Holen der Daten für 'Install_Dir'", true},
                    DiscoveryCase{"UnreadableNumber",
                                  Value{RegistryKind::kNumber, "\x0a\0\0\0"s, false},
                                  "Fehler beim Holen der Daten für 'Install_Dir'", true}),
    [](const auto& info) { return info.param.label; });

TEST(DiscoveryMasksTest, TriesTheThreeReadMasksInTurn) {
  test::FakeRegistry none;
  EXPECT_EQ(DiscoverEncoder(none, PathStyle::kWindows), std::nullopt);
  EXPECT_EQ(none.masks_tried(), (std::vector<std::uint32_t>{0x20019, 0x20009, 0x1}));

  test::FakeRegistry query_only;
  query_only.AddKey(std::string(kKeyPath), platform::kKeyQueryValue);
  query_only.SetValue("Install_Dir", {RegistryKind::kText, "/opt/divx\0"s});
  EXPECT_EQ(DiscoverEncoder(query_only, PathStyle::kPosix),
            "\"/opt/divx/DivX H.264 Codec CLI/bin/DivX264.exe\"");
}

// A job as the window holds it before its first activation, on real files in a folder of its own,
// with the program "Korvu" in that folder.
class FirstActivationTest : public testing::Test {
 protected:
  FocusTarget Activate(int processors) {
    return FirstActivation(job_, {registry_, processors, dir_ / "Korvu"},
                           [this](const Error& error) { reported_.push_back(error.what()); });
  }
  void InstallEncoderIn(const std::string& folder) {
    registry_.AddKey(std::string(kKeyPath));
    registry_.SetValue("Install_Dir", {RegistryKind::kText, folder + '\0'});
  }
  JobSettings& settings() { return job_.Settings(); }

  test::TempDir dir_;
  test::FakeRegistry registry_;
  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job job_{rules_};
  std::vector<std::string> reported_;
};

TEST_F(FirstActivationTest, ThreadBoundAndValueFromTheProcessorCount) {
  for (const auto& [processors, bound] : {std::pair{1, 2}, std::pair{8, 16}}) {
    Job job(rules_);
    FirstActivation(job, {registry_, processors, dir_ / "Korvu"}, nullptr);
    EXPECT_EQ(job.Settings().Threads.Max(), bound);
    EXPECT_EQ(job.Settings().Threads.Value(), processors);
    EXPECT_TRUE(job.FParamsLive());
  }
}

TEST_F(FirstActivationTest, NoInstallationKeepsTheEncoderAndFocusesIt) {
  EXPECT_EQ(Activate(4), FocusTarget::kEncoder);
  EXPECT_EQ(settings().Encoder.Text(), "DivX264.exe");
  EXPECT_TRUE(job_.Preview().empty()) << "the window's activation rebuilds, not this";
}

TEST_F(FirstActivationTest, AnInstalledEncoderTakesTheFocusToTheInput) {
  dir_.Write("Div X/DivX H.264 Codec CLI/bin/DivX264.exe", "");
  InstallEncoderIn(dir_ / "Div X");
  EXPECT_EQ(Activate(4), FocusTarget::kInput);
  EXPECT_EQ(settings().Encoder.Text(),
            '"' + (dir_ / "Div X") + "/DivX H.264 Codec CLI/bin/DivX264.exe\"");
}

TEST_F(FirstActivationTest, TheDefaultSettingsFileReplacesDiscoveryAndClampsThreads) {
  const std::string encoder = dir_.Write("enc", "");
  dir_.Write("Korvu.ini", "[Korvu]\r\nEncoder=" + encoder + "\r\nThreads=99\r\nBitrate=700\r\n");
  InstallEncoderIn("/nowhere");
  EXPECT_EQ(Activate(4), FocusTarget::kInput);
  EXPECT_EQ(settings().Encoder.Text(), encoder);
  EXPECT_EQ(settings().Threads.Value(), 8);
  EXPECT_FALSE(job_.Preview().empty()) << "the load rebuilds once at its end";
}

TEST_F(FirstActivationTest, AWrongKindStopsTheWorkWithUpdatesOff) {
  registry_.AddKey(std::string(kKeyPath));
  registry_.SetValue("Install_Dir", {RegistryKind::kNumber, "\x0a\0\0\0"s});
  dir_.Write("Korvu.ini", "[Korvu]\r\nBitrate=700\r\n");
  try {
    Activate(4);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Ungültiger Datentyp für 'Install_Dir'");
  }
  EXPECT_EQ(settings().Threads.Max(), 1);
  EXPECT_EQ(settings().Bitrate.Text(), "0");
  settings().Input.SetText(dir_.Write("in.avi", ""));
  EXPECT_FALSE(job_.FParamsLive());
  EXPECT_TRUE(job_.Preview().empty()) << "typing changes nothing";

  LoadSettings(job_, dir_ / "Korvu.ini", nullptr);
  EXPECT_TRUE(job_.FParamsLive());
  EXPECT_NE(job_.Preview().find("-br 700"), std::string::npos);
}

TEST_F(FirstActivationTest, AFolderNamedLikeTheDefaultFileIsSkipped) {
  std::filesystem::create_directory(dir_.path() / "Korvu.ini");
  EXPECT_EQ(Activate(2), FocusTarget::kEncoder);
  EXPECT_TRUE(job_.FParamsLive());
}

TEST_F(FirstActivationTest, AnUnreadableDefaultFileStopsTheWorkWithUpdatesOn) {
  test::FakeFileSystem seen{dir_ / "Korvu.ini"};  // there for the test, gone for the read
  const PathRules rules(PathStyle::kPosix, seen);
  Job job(rules);
  EXPECT_THROW(FirstActivation(job, {registry_, 2, dir_ / "Korvu"}, nullptr), Error);
  EXPECT_EQ(job.Settings().Threads.Value(), 2);
  EXPECT_TRUE(job.FParamsLive());
}

TEST_F(FirstActivationTest, RefusedOutputOfTheDefaultFileIsReportedAndTheWorkGoesOn) {
  dir_.Write("Korvu.ini", "[Korvu]\r\nInput=/v/a*b.avi\r\nBitrate=9\r\n");
  Activate(2);
  EXPECT_EQ(reported_, std::vector<std::string>{"Ungültiger Dateiname - /v/a*b.264"});
  EXPECT_EQ(settings().Bitrate.Text(), "9");
  EXPECT_TRUE(job_.FParamsLive());
}

// A program whose folder its user cannot write: the default settings file is the user's, and the
// program's own is read while the user has none.
struct FallbackCase {
  std::string label;
  std::optional<std::string> user_file;  // the user's Korvu.ini; "/" makes it a folder
  std::optional<std::string> own_file;   // the program's own Korvu.ini
  bool fallback_given = true;
  std::string bitrate;  // after the activation
};

const std::string kUserIni = "[Korvu]\r\nBitrate=111\r\n";
const std::string kOwnIni = "[Korvu]\r\nBitrate=222\r\n";

TEST(FirstActivationFallbackTest, TheUsersFileElseTheProgramsOwn) {
  const FallbackCase cases[] = {
      {"both files", kUserIni, kOwnIni, true, "111"},
      {"the user has none", std::nullopt, kOwnIni, true, "222"},
      {"neither", std::nullopt, std::nullopt, true, "0"},
      {"no fallback given", std::nullopt, kOwnIni, false, "0"},
      {"a folder named like the user's file", "/", kOwnIni, true, "222"},
      {"the user's file alone", kUserIni, std::nullopt, true, "111"},
      {"an empty user's file still wins", "", kOwnIni, true, "0"},
  };
  for (const FallbackCase& c : cases) {
    SCOPED_TRACE(c.label);
    const test::TempDir dir;
    if (c.user_file == "/")
      std::filesystem::create_directories(dir.path() / "personal/Korvu.ini");
    else if (c.user_file)
      dir.Write("personal/Korvu.ini", *c.user_file);
    if (c.own_file) dir.Write("packaged/Korvu.ini", *c.own_file);
    const PathRules rules(PathStyle::kPosix, platform::RealFileSystem());
    Job job(rules);
    const test::FakeRegistry registry;
    FirstActivation(
        job,
        {registry, 2, dir / "personal/Korvu", c.fallback_given ? dir / "packaged/Korvu.ini" : ""},
        nullptr);
    EXPECT_EQ(job.Settings().Bitrate.Text(), c.bitrate);
    EXPECT_TRUE(job.FParamsLive());
  }
}

TEST(FirstActivationFallbackTest, AnUnreadableFallbackIsReportedByItsName) {
  const test::TempDir dir;
  const std::string own = dir / "packaged/Korvu.ini";
  test::FakeFileSystem seen{own};  // there for the test, gone for the read
  const PathRules rules(PathStyle::kPosix, seen);
  Job job(rules);
  const test::FakeRegistry registry;
  try {
    FirstActivation(job, {registry, 2, dir / "personal/Korvu", own}, nullptr);
    FAIL() << "no error";
  } catch (const Error& error) {
    // The system's spelling of the path (Windows: its own separators).
    const std::string message = error.what();
    EXPECT_NE(message.find("packaged"), std::string::npos) << message;
    EXPECT_EQ(message.find("personal"), std::string::npos) << message;
  }
  EXPECT_TRUE(job.FParamsLive());
}

struct BoxCase {
  std::string message;
  std::string text;
};

class ErrorBoxTextTest : public testing::TestWithParam<BoxCase> {};

TEST_P(ErrorBoxTextTest, FullStopAfterCodesAboveTheFullStop) {
  EXPECT_EQ(ErrorBoxText(GetParam().message), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxTextTest,
    testing::Values(BoxCase{"", ""}, BoxCase{"Dateizugriff verweigert", "Dateizugriff verweigert."},
                    BoxCase{"E/A-Fehler 112", "E/A-Fehler 112."}, BoxCase{"Frage?", "Frage?."},
                    BoxCase{"Frage:", "Frage:."}, BoxCase{"Ende/", "Ende/."},
                    BoxCase{"Ende.", "Ende."}, BoxCase{"Ende!", "Ende!"},
                    BoxCase{"für 'Install_Dir'", "für 'Install_Dir'"}, BoxCase{"(x)", "(x)"},
                    BoxCase{"a,", "a,"}, BoxCase{"a-", "a-"}, BoxCase{"a ", "a "},
                    BoxCase{"Größe ä", "Größe ä."}, BoxCase{"\xE4", "\xE4."}));

}  // namespace
}  // namespace korvu::job
