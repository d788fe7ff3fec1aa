// The window's behaviour without a window: a view that writes down what it is asked to show, a
// data module that answers the settings dialogs, a console that the test plays.
#include "app/form/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/form/guard.h"
#include "job/path_rules.h"
#include "platform/file_system.h"
#include "tests/support/fake_registry.h"
#include "tests/support/temp_dir.h"

namespace korvu::form {
namespace {

class FakeView : public MainFormView {
 public:
  void FocusControl(const Control& row) override {
    log.push_back("focus " + std::string(row.name));
    focused = &row;
  }
  const Control* FocusedControl() const override { return focused; }
  void EnableControl(const Control& row, bool enabled) override {
    if (enabled) disabled.erase(std::string(row.name));
    if (!enabled) disabled.insert(std::string(row.name));
  }
  void ShowEncodeHint(const std::string& shown, const std::string&) override { hint = shown; }
  void ShowPreview(const std::string& text) override { preview = text; }
  void ShowBusy(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
  void Minimize() override { log.push_back("minimize"); }
  void Restore() override { log.push_back("restore"); }
  void Hide() override { log.push_back("hide"); }
  void Close() override { log.push_back("close"); }
  int WaitWithoutInput(const std::function<int(const WindowPlatform::Pump&)>& work) override {
    return work([] {});
  }

  std::vector<std::string> log;
  std::set<std::string> disabled;
  const Control* focused = nullptr;
  std::string hint, preview;
};

class FakeDataModule : public DataModule {
 public:
  int ProcessorCount() const override { return 4; }
  std::optional<std::string> ChooseLoad() override { return load; }
  std::optional<std::string> ChooseSave() override { return std::nullopt; }

  std::optional<std::string> load;
};

class BehaviourTest : public testing::Test {
 protected:
  BehaviourTest() {
    app::SetErrorReport([this](const std::string& message) { reported_.push_back(message); });
    form_.SetDataModule(dm_);
    form_.FormCreate();
  }
  ~BehaviourTest() override { app::SetErrorReport({}); }

  void Activate() {
    ASSERT_TRUE(form_.RequestActivation());
    form_.Activate();
  }
  // A job that "Encode" can run: an encoder and an input that exist, and a bitrate.
  void MakeReady() {
    job_.Settings().Encoder.SetText(dir_.Write("enc.exe", ""));
    job_.Settings().Input.SetText(dir_.Write("clip.avi", ""));
    job_.Settings().Bitrate.SetText("900");
    ASSERT_TRUE(view_.disabled.empty());
  }

  test::TempDir dir_;
  test::FakeRegistry registry_;
  job::PathRules rules_{job::NativePathStyle(), platform::RealFileSystem()};
  job::Job job_{rules_};
  FakeView view_;
  FakeDataModule dm_;
  std::function<platform::ExecResult()> console_ = [] { return 0; };
  std::vector<std::string> command_lines_;
  std::vector<std::string> reported_;
  MainForm form_{job_,
                 {registry_, dir_ / "Korvu.exe",
                  [this](const std::string& line, std::uint16_t, const WindowPlatform::Pump&) {
                    command_lines_.push_back(line);
                    return console_();
                  }},
                 view_};
};

// Where the focus starts: the input when the encoder that the registry names exists, else the
// encoder field; either way the work is done once and updates go live.
TEST_F(BehaviourTest, FirstActivationWithAndWithoutAnInstallation) {
  for (const bool installed : {false, true}) {
    SCOPED_TRACE(installed ? "installed" : "not installed");
    test::TempDir dir;
    test::FakeRegistry registry;
    registry.AddKey(R"(Software\DivXNetworks\DivX Codec H.264)");
    if (installed) {
      const std::filesystem::path bin = dir.path() / "DivX H.264 Codec CLI" / "bin";
      dir.Write((bin / "DivX264.exe").lexically_relative(dir.path()).string(), "");
      registry.SetValue("Install_Dir", {platform::RegistryKind::kText, dir.path().string() + '\0'});
    }
    job::Job job(rules_);
    FakeView view;
    MainForm form(job, {registry, dir / "Korvu.exe", {}}, view);
    form.SetDataModule(dm_);
    form.FormCreate();
    ASSERT_TRUE(form.RequestActivation());
    EXPECT_FALSE(form.RequestActivation()) << "asked for once";
    form.Activate();
    EXPECT_EQ(view.log,
              std::vector<std::string>{installed ? "focus jveInput" : "focus jveEncoder"});
    EXPECT_EQ(job.Settings().Threads.Max(), 8);
    EXPECT_TRUE(job.FParamsLive());
    EXPECT_EQ(view.preview, job.Preview());
    EXPECT_EQ(view.disabled, std::set<std::string>{"jvbEncode"});

    job.Settings().Threads.SetValue(1);
    form.Activate();  // a later activation only rebuilds
    EXPECT_EQ(job.Settings().Threads.Value(), 1);
    EXPECT_EQ(view.log.size(), 1u);
  }
  EXPECT_TRUE(reported_.empty());
}

// A system-wide install names its default settings file in the user's folder and hands the
// program's own as the fallback: the first activation reads that one while the user has none.
TEST_F(BehaviourTest, FirstActivationReadsTheFallbackWhileTheUserHasNoDefaults) {
  const std::string own = dir_.Write("lib/Korvu.ini", "[Korvu]\r\nBitrate=222\r\n");
  for (const bool saved : {false, true}) {
    SCOPED_TRACE(saved ? "saved" : "not saved");
    if (saved) dir_.Write("home/Korvu.ini", "[Korvu]\r\nBitrate=111\r\n");
    job::Job job(rules_);
    FakeView view;
    MainForm form(job, {registry_, dir_ / "home/Korvu", {}, own, "the folder is not used"}, view);
    form.SetDataModule(dm_);
    form.FormCreate();
    ASSERT_TRUE(form.RequestActivation());
    form.Activate();
    EXPECT_EQ(job.Settings().Bitrate.Text(), saved ? "111" : "222");
  }
  // Said once by each window, at its first activation.
  EXPECT_EQ(reported_, std::vector<std::string>(2, "the folder is not used"));
}

TEST_F(BehaviourTest, DisabledEncodeHintsWhyAndAReadyOneAsEver) {
  Activate();
  const std::string own(ControlNamed("jvbEncode").hint);
  EXPECT_TRUE(view_.hint.starts_with(own + "\r\n\r\nInput video file: no file name\r\n"));
  EXPECT_TRUE(view_.hint.ends_with("\r\nBitrate (kbps): must be above 0")) << view_.hint;
  MakeReady();
  EXPECT_EQ(view_.hint, own);
}

// The run disables what takes input, the close asked for meanwhile hides the window at once and
// closes it once the console has ended; the window does not come back.
TEST_F(BehaviourTest, ACloseDuringTheRunWaitsForItsEnd) {
  Activate();
  MakeReady();
  view_.log.clear();
  console_ = [this] {
    EXPECT_EQ(view_.disabled.size(), std::size(kControls) - 1) << "all but the preview";
    EXPECT_FALSE(form_.CloseQuery());
    return 0;
  };
  form_.Click(ControlNamed("jvbEncode"));
  EXPECT_EQ(view_.log, (std::vector<std::string>{"minimize", "busy", "hide", "idle", "close"}));
  EXPECT_EQ(command_lines_.size(), 1u);
  EXPECT_TRUE(form_.CloseQuery()) << "no run holds the window now";
  EXPECT_TRUE(reported_.empty());
}

// Also after a console that could not start, whose reason then shows.
TEST_F(BehaviourTest, AfterTheRunTheFocusIsWhereItWas) {
  Activate();
  MakeReady();
  for (const std::string failure : {"", "no console"}) {
    console_ = [&failure] { return platform::ExecResult(failure.empty() ? 0 : -1, failure); };
    view_.FocusControl(ControlNamed("jvbEncode"));
    view_.log.clear();
    form_.Click(ControlNamed("jvbEncode"));
    EXPECT_EQ(view_.log,
              (std::vector<std::string>{"minimize", "busy", "idle", "restore", "focus jvbEncode"}));
    EXPECT_TRUE(view_.disabled.empty()) << "the rebuild after the run enables Encode again";
  }
  EXPECT_EQ(reported_, std::vector<std::string>{"no console"});
}

TEST_F(BehaviourTest, AScriptThatCannotBeWrittenRunsNothing) {
  Activate();
  MakeReady();
  std::filesystem::create_directory(dir_.path() / "Korvu.bat");  // a folder takes its name
  view_.log.clear();
  form_.Click(ControlNamed("jvbEncode"));
  EXPECT_EQ(reported_.size(), 1u);
  EXPECT_TRUE(view_.log.empty());
  EXPECT_TRUE(command_lines_.empty());
}

TEST_F(BehaviourTest, LoadSettingsTakesTheChosenFile) {
  Activate();
  form_.Click(ControlNamed("jvbLoadIni"));  // cancelled
  EXPECT_EQ(job_.Settings().Bitrate.Text(), "0");
  dm_.load = dir_.Write("job.ini", "[Korvu]\r\nBitrate=700\r\n");
  form_.Click(ControlNamed("jvbLoadIni"));
  EXPECT_EQ(job_.Settings().Bitrate.Text(), "700");
  EXPECT_EQ(view_.preview, job_.Preview());
}

}  // namespace
}  // namespace korvu::form
