#include "job/job_script.h"

#include <gtest/gtest.h>

#include <vector>

#include "job/in_out_error.h"
#include "job/settings_file.h"
#include "platform/file_io.h"
#include "platform/script_hold.h"
#include "tests/support/example_job.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/temp_dir.h"

namespace korvu::job {
namespace {

std::string Fixture(const std::string& name) {
  return test::ReadFile(std::string(KORVU_JOB_FIXTURES) + "/" + name);
}

struct ScriptCase {
  const char* fixture;
  std::string encoder;
  std::string input;
  std::string output;
};

class JobScriptTest : public testing::TestWithParam<ScriptCase> {
 protected:
  test::FakeFileSystem fs_{R"(C:\Enc\DivX264.exe)", R"(C:\Program Files\Enc\DivX264.exe)",
                           R"(D:\clips\trip.avs)", R"(D:\100%\trip.avs)"};
  PathRules rules_{PathStyle::kWindows, fs_};
  Job job_{rules_};
  test::TempDir dir_;
};

TEST_P(JobScriptTest, WritesTheScriptByteForByte) {
  const ScriptCase& c = GetParam();
  test::SetUpWorkedExample(job_.Settings(), c.encoder, c.input, c.output);
  job_.SetFParamsLive(true);
  job_.UpdateParams();
  ASSERT_TRUE(job_.EncodeEnabled());
  const std::string script = dir_ / "Korvu.bat";
  WriteJobScript(script, job_.Settings().Encoder.Text(), job_.FParams());
  EXPECT_EQ(test::ReadFile(script), Fixture(c.fixture));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobScriptTest,
    testing::Values(ScriptCase{"worked-example.bat", R"(C:\Enc\DivX264.exe)",
                               R"(D:\clips\trip.avs)", R"(D:\clips\trip.264)"},
                    // Quoted in the script too, so that it starts as one program.
                    ScriptCase{"encoder-with-blank.bat", R"(C:\Program Files\Enc\DivX264.exe)",
                               R"(D:\clips\trip.avs)", R"(D:\clips\trip.264)"},
                    // '%' doubled, so that the interpreter gives the encoder the name unchanged.
                    ScriptCase{"percent.bat", R"(C:\Enc\DivX264.exe)", R"(D:\100%\trip.avs)",
                               R"(D:\100%\trip.264)"}));

TEST(JobScriptTextTest, PreviewKeepsSinglePercent) {
  test::FakeFileSystem fs{R"(C:\Enc\DivX264.exe)", R"(D:\100%\trip.avs)"};
  const PathRules rules(PathStyle::kWindows, fs);
  Job job(rules);
  test::SetUpWorkedExample(job.Settings(), R"(C:\Enc\DivX264.exe)", R"(D:\100%\trip.avs)",
                           R"(D:\100%\trip.264)");
  job.SetFParamsLive(true);
  job.UpdateParams();
  EXPECT_NE(job.Preview().find(R"(-i D:\100%\trip.avs )"), std::string::npos);
}

TEST(JobScriptTextTest, PassLinesDifferOnlyInThePassNumber) {
  const auto lines = ScriptLines(R"("C:\My Enc\x.exe")", R"( -br 7 -i "a b.avi" -o x%y.264)");
  std::string first = lines[1];
  first.replace(first.find("-npass 1"), 8, "-npass 2");
  EXPECT_EQ(first, lines[3]);
  EXPECT_EQ(lines[1], R"("C:\My Enc\x.exe" -npass 1 -br 7 -i "a b.avi" -o x%%y.264)");
}

TEST(JobScriptTextTest, EncoderWithOperatorIsQuoted) {
  EXPECT_EQ(ScriptLines("C:\\Tom&Jerry\\enc.exe", " -br 1")[1],
            R"("C:\Tom&Jerry\enc.exe" -npass 1 -br 1)");
}

TEST(JobScriptFileTest, SecondRunOverwritesTheSameFile) {
  test::TempDir dir;
  const std::string script = dir / "Korvu.bat";
  WriteJobScript(script, "enc.exe", std::string(300, 'x'));
  WriteJobScript(script, "enc.exe", " -br 1");
  EXPECT_EQ(test::ReadFile(script), ScriptText("enc.exe", " -br 1"));
}

struct PathCase {
  PathStyle style;
  std::string executable;
  std::string script;
};

class ScriptPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(ScriptPathTest, NextToTheExecutable) {
  EXPECT_EQ(ScriptPath(GetParam().executable, GetParam().style), GetParam().script);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptPathTest,
    testing::Values(PathCase{PathStyle::kWindows, R"(C:\Tools\Korvu.exe)", R"(C:\Tools\Korvu.bat)"},
                    PathCase{PathStyle::kWindows, R"(C:\Apps\x.y\tool)", R"(C:\Apps\x.y\tool.bat)"},
                    PathCase{PathStyle::kPosix, "/opt/korvu/korvu", "/opt/korvu/korvu.bat"},
                    PathCase{PathStyle::kPosix, "/opt/x.y/korvu", "/opt/x.y/korvu.bat"}));

TEST(InOutMessageTest, ChosenByCode) {
  const std::pair<int, std::string> cases[] = {{2, "Datei nicht gefunden"},
                                               {3, "Ungültiger Dateiname"},
                                               {4, "Zu viele geöffnete Dateien"},
                                               {5, "Dateizugriff verweigert"},
                                               {100, "Versuch hinter dem Dateiende zu lesen"},
                                               {101, "Zu wenig Speicherplatz"},
                                               {106, "Ungültige numerische Eingabe"},
                                               {112, "E/A-Fehler 112"},
                                               {32, "E/A-Fehler 32"}};
  for (const auto& [code, message] : cases) EXPECT_EQ(InOutMessage(code), message) << code;
}

// The click on "Encode" without a window: the hooks record what the window would do.
class RunEncodeTest : public testing::Test {
 protected:
  RunEncodeTest() {
    test::SetUpWorkedExample(job_.Settings(), dir_.Write("Enc/DivX264.exe", ""),
                             dir_.Write("clips/trip.avs", ""), dir_ / "clips/trip.264");
    job_.SetFParamsLive(true);
    job_.UpdateParams();
    job_.OnParamsUpdated([this] { steps_.push_back("rebuild"); });
  }

  EncodeHooks Hooks(int exit_code, const std::string& failure = "") {
    return {[this] { steps_.push_back("disable"); }, [this] { steps_.push_back("minimize"); },
            [this, exit_code, failure](const std::string& command_line, std::uint16_t show) {
              steps_.push_back("run " + command_line + " " + std::to_string(show));
              script_seen_ = test::ReadFile(dir_ / "Korvu.bat");
              return platform::ExecResult(exit_code, failure);
            },
            [this] { steps_.push_back("restore"); }};
  }

  test::TempDir dir_;
  PathRules rules_{PathStyle::kPosix, platform::RealFileSystem()};
  Job job_{rules_};
  std::vector<std::string> steps_;
  std::string script_seen_;
};

// A console that could not start ends the same way, and then tells why.
TEST_F(RunEncodeTest, WritesThenRunsInOrder) {
  const std::pair<int, std::string> runs[] = {{0, ""}, {1, ""}, {-1, ""}, {-1, "no console"}};
  for (const auto& [exit_code, failure] : runs) {
    steps_.clear();
    std::string error = "none";
    try {
      RunEncode(job_, dir_ / "Korvu", Hooks(exit_code, failure));
    } catch (const Error& raised) {
      error = raised.what();
    }
    const std::vector<std::string> expected = {
        "disable", "minimize", "run \"" + (dir_ / "Korvu.bat") + "\" 1", "restore", "rebuild"};
    EXPECT_EQ(steps_, expected) << exit_code;
    EXPECT_EQ(error, failure.empty() ? "none" : failure);
    EXPECT_EQ(script_seen_, ScriptText(job_.Settings().Encoder.Text(), job_.FParams()));
  }
  platform::ScriptHold next;  // the hold went with the failed run
  EXPECT_TRUE(next.Take(dir_ / "Korvu.bat"));
}

TEST_F(RunEncodeTest, UsesTheLineAsLastBuilt) {
  const std::string built = job_.FParams();
  job_.SetFParamsLive(false);
  job_.Settings().Bitrate.SetText("9999");
  job_.SetFParamsLive(true);
  RunEncode(job_, dir_ / "Korvu", Hooks(0));
  EXPECT_EQ(script_seen_, ScriptText(job_.Settings().Encoder.Text(), built));
  EXPECT_NE(job_.FParams(), built);  // the rebuild after the run
}

// A second "Encode" of the same installation while the first run's console is open (another
// window's job, with a bitrate of its own): refused without touching the script, and the first
// run goes on; once it has ended, the second one runs.
TEST_F(RunEncodeTest, ASecondRunWaitsForTheFirstToEnd) {
  Job other{rules_};
  test::SetUpWorkedExample(other.Settings(), job_.Settings().Encoder.Text(),
                           job_.Settings().Input.Text(), job_.Settings().Output.Text());
  other.Settings().Bitrate.SetText("700");
  other.SetFParamsLive(true);
  other.UpdateParams();
  std::vector<std::string> other_steps;
  const auto note = [&other_steps](const char* step) {
    return [&other_steps, step] { other_steps.push_back(step); };
  };
  const EncodeHooks other_hooks{note("disable"), note("minimize"),
                                [&other_steps](const std::string&, std::uint16_t) {
                                  other_steps.push_back("run");
                                  return 0;
                                },
                                note("restore")};
  const std::string mine = ScriptText(job_.Settings().Encoder.Text(), job_.FParams());
  const std::string message = "Datei \"" + platform::FullPath(dir_ / "Korvu.bat") +
                              "\" kann nicht erstellt werden. " + std::string(kScriptInUse);

  EncodeHooks hooks = Hooks(0);
  hooks.exec_and_wait = [&](const std::string&, std::uint16_t) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        RunEncode(other, dir_ / "Korvu", other_hooks);
        ADD_FAILURE() << "a second run started";
      } catch (const InOutError& error) {
        ADD_FAILURE() << "an input/output error: " << error.what();
      } catch (const Error& error) {
        EXPECT_EQ(error.what(), message);
      }
      EXPECT_EQ(test::ReadFile(dir_ / "Korvu.bat"), mine);
    }
    return 0;
  };
  RunEncode(job_, dir_ / "Korvu", hooks);
  EXPECT_TRUE(other_steps.empty());

  RunEncode(other, dir_ / "Korvu", other_hooks);
  EXPECT_EQ(other_steps, (std::vector<std::string>{"disable", "minimize", "run", "restore"}));
  EXPECT_EQ(test::ReadFile(dir_ / "Korvu.bat"),
            ScriptText(other.Settings().Encoder.Text(), other.FParams()));
  EXPECT_NE(other.FParams(), job_.FParams());
}

}  // namespace
}  // namespace korvu::job
