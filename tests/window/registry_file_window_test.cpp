// The first activation with the registry that the program reads on POSIX: the registry export
// file under $XDG_CONFIG_HOME, and what a value of the wrong kind leaves.
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "platform/registry.h"
#include "tests/window/window_fixture.h"

namespace korvu::app {
namespace {

// The registry as the program reads it on POSIX: a file in the registry export format.
struct RegistryCase {
  std::string label;
  std::optional<std::string> install_dir;  // the value line; none: no registry file at all
  std::string encoder;                     // the encoder text, or the error reported
  bool error = false;
};

class RegistryFileTest : public ActivationTestBase,
                         public testing::WithParamInterface<RegistryCase> {
 protected:
  RegistryFileTest() { setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1); }
  ~RegistryFileTest() override { unsetenv("XDG_CONFIG_HOME"); }
};

TEST_P(RegistryFileTest, SetsTheEncoderOrReportsOnce) {
  if (const auto& value = GetParam().install_dir) {
    dir_.Write("config/korvu/registry.reg",
               "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\DivXNetworks\\DivX Codec H.264]\r\n" +
                   *value + "\r\n");
  }
  ShowAndActivate(2, &platform::UserRegistry());
  if (!GetParam().error) {
    EXPECT_TRUE(reported_.empty());
    EXPECT_EQ(Find<QLineEdit>("jveEncoder")->text().toStdString(), GetParam().encoder);
    EXPECT_FALSE(Preview().isEmpty());
    return;
  }
  EXPECT_EQ(reported_, std::vector<std::string>{GetParam().encoder});
  EXPECT_EQ(Find<QLineEdit>("jvsThreads")->text(), "0") << "the design value stays";
  // Typing changes nothing until a settings file is loaded.
  Find<QLineEdit>("jveBitrate")->selectAll();
  QTest::keyClicks(Find<QLineEdit>("jveBitrate"), "700");
  EXPECT_TRUE(Preview().isEmpty());
  EXPECT_FALSE(EncodeEnabled());
  const std::string ini = dir_.Write("job.ini", "[Korvu]\r\nMaxFrames=5\r\n");
  WhenDialogShows([&](QFileDialog& dialog) { Confirm(dialog, ini); });
  QTest::mouseClick(Find("jvbLoadIni"), Qt::LeftButton);
  EXPECT_TRUE(Preview().contains("-br 700 ")) << Preview().toStdString();
  EXPECT_TRUE(Preview().contains("-frames 5"));
  EXPECT_EQ(reported_.size(), 1u) << "reported once";
}

const std::string kSuffix = "/DivX H.264 Codec CLI/bin/DivX264.exe";

INSTANTIATE_TEST_SUITE_P(Cases, RegistryFileTest,
                         // The rules of each kind of value are the job's; here, one found folder
                         // and one value of the wrong kind prove that the file reaches the window.
                         testing::Values(RegistryCase{"Folder", R"("Install_Dir"="/opt/Div X")",
                                                      "\"/opt/Div X" + kSuffix + '"'},
                                         RegistryCase{"Number", "\"Install_Dir\"=dword:00000001",
                                                      "Ungültiger Datentyp für 'Install_Dir'",
                                                      true}),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace korvu::app
