// The window against its layout description: every control where it belongs, in its tab order,
// named, hinted and coloured as described.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "tests/window/window_fixture.h"

namespace korvu::app {
namespace {

struct ControlRow {
  const char* name;
  QRect box;
};

// In tab order.
const ControlRow kControls[] = {
    {"jveEncoder", {8, 24, 249, 21}},       {"jveStats", {8, 64, 249, 21}},
    {"jveInput", {272, 24, 249, 21}},       {"jveOutput", {272, 64, 249, 21}},
    {"jvcEncQuality", {8, 120, 73, 21}},    {"jveBitrate", {96, 120, 65, 21}},
    {"jvsThreads", {176, 120, 33, 21}},     {"jvsGOPSec", {8, 152, 33, 21}},
    {"jvcSourceType", {272, 120, 105, 21}}, {"jvcMBAFF", {392, 120, 120, 17}},
    {"jvcFPS", {272, 168, 121, 21}},        {"jveMaxFrames", {408, 168, 65, 21}},
    {"jvbLoadIni", {272, 200, 105, 25}},    {"jvbSaveIni", {272, 232, 105, 25}},
    {"jvsMaxBFrames", {8, 176, 33, 21}},    {"jvsRefFrames", {8, 200, 33, 21}},
    {"jvcBRef", {8, 224, 160, 17}},         {"jvcPyramide", {24, 240, 176, 17}},
    {"jvbEncode", {400, 200, 121, 57}},     {"jvtParams", {0, 264, 529, 49}},
};

struct LabelRow {
  const char* name;
  const char* caption;
  QRect box;
  const char* names;
  bool maroon;
};

const LabelRow kLabels[] = {
    {"jvlEncoder", "CLI Encoder location", {8, 8, 100, 13}, "jveEncoder", true},
    {"jvlStats", "Statistics file", {8, 48, 62, 13}, "jveStats", true},
    {"jvlInput", "Input video file", {272, 8, 74, 13}, "jveInput", true},
    {"jvlOutput", "Output video file", {272, 48, 82, 13}, "jveOutput", true},
    {"jvlEncQuality", "Encoding quality", {8, 104, 80, 13}, "jvcEncQuality", false},
    {"jvlBitrate", "Bitrate (kbps)", {96, 104, 67, 13}, "jveBitrate", true},
    {"JvLabel1", "threads", {216, 124, 39, 13}, "jvsThreads", false},
    {"jvlSourceType", "Source type", {272, 104, 60, 13}, "jvcSourceType", false},
    {"jvlGOPSec", "seconds per GOP", {48, 156, 84, 13}, "jvsGOPSec", false},
    {"jvlMaxBFrames", "max. consecutive B frames", {48, 180, 131, 13}, "jvsMaxBFrames", false},
    {"jvlRefFrames", "max. Reference frames", {48, 204, 115, 13}, "jvsRefFrames", false},
    {"jvlFPS", "Frames per sec. override", {272, 152, 122, 13}, "jvcFPS", false},
    {"jvlMaxFrames", "Max. frames", {408, 152, 62, 13}, "jveMaxFrames", false},
};

const std::pair<const char*, const char*> kHints[] = {
    {"jvsThreads",
     "Maximum number of threads\n(useful for multicore processors)\n\n"
     "0 = let encoder decide"},
    {"jvcMBAFF", "Only valid if interlaced.\n\nChecked = MBAFF\nUnchecked = PAFF"},
    {"jvcFPS",
     "Change framerate of the output\n\nFormats: Number (.) or fraction (/)\n\n"
     "empty = use source framerate"},
    {"jveMaxFrames",
     "To limit the number of frames to be encoded.\n\n0 = all frames of the source"},
    {"jvbSaveIni",
     "Save as 'Korvu.ini' in the application folder\nto store default settings "
     "loaded on startup"},
    {"jvbEncode", "Creates and executes a batch file for 2 pass encoding"},
    {"jveEncoder", ""},
    {"jvbLoadIni", ""},
    {"jvsGOPSec", ""},
    {"jvtParams", ""},
};

// The control that holds `widget` (an editable list's line edit belongs to its list).
QString ControlOf(QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    if (widget->objectName().startsWith(QLatin1String("jv"))) return widget->objectName();
  }
  return {};
}

QString FocusedControl() {
  return ControlOf(QApplication::focusWidget());
}

using LayoutTest = WindowTest;

TEST_F(LayoutTest, WindowIsFixedCentredAndTitled) {
  Create();
  EXPECT_EQ(form_->size(), QSize(529, 313));
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
  EXPECT_FALSE(form_->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form_->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(form_->windowTitle(), "Korvu - making Pimbrosse!");
  EXPECT_EQ(form_->geometry().center(), form_->screen()->availableGeometry().center());
  EXPECT_EQ(form_->font().family(), "Tahoma");
  EXPECT_EQ(form_->font().pixelSize(), 11);
  EXPECT_EQ(Find("jvbEncode")->font().pixelSize(), 19);
  EXPECT_EQ(Find("jvbSaveIni")->font().pixelSize(), 11);
  EXPECT_FALSE(form_->windowIcon().isNull());
}

TEST_F(LayoutTest, EveryControlStandsWhereDescribed) {
  Create();
  for (const ControlRow& row : kControls)
    EXPECT_EQ(Find(row.name)->geometry(), row.box) << row.name;
  for (const LabelRow& row : kLabels) {
    auto* label = Find<QLabel>(row.name);
    EXPECT_EQ(label->geometry(), row.box) << row.name;
    EXPECT_EQ(label->text(), row.caption);
    EXPECT_EQ(label->buddy(), Find(row.names)) << row.name;
    EXPECT_EQ(Find(row.names)->accessibleName(), row.caption);
    EXPECT_EQ(label->palette().color(QPalette::WindowText),
              row.maroon ? QColor(0x80, 0, 0) : form_->palette().color(QPalette::WindowText))
        << row.name;
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
  }
}

TEST_F(LayoutTest, TabWalksTheControlsInOrderAndAround) {
  ShowAndActivate();
  MakeJobReady();  // a disabled "Encode" takes no focus
  Find("jveEncoder")->setFocus();
  for (std::size_t i = 1; i <= std::size(kControls); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(FocusedControl().toStdString(), kControls[i % std::size(kControls)].name)
        << "tab " << i;
  }
}

TEST_F(LayoutTest, HintsKeepTheirLineBreaks) {
  Create();
  for (const auto& [name, hint] : kHints) EXPECT_EQ(Find(name)->toolTip(), hint) << name;
}

TEST_F(LayoutTest, ControlsStartWithTheirContent) {
  Create();
  EXPECT_EQ(Find<QLineEdit>("jveEncoder")->text(), "DivX264.exe");
  EXPECT_EQ(Find<QLineEdit>("jveStats")->text(), "divx264_stat.dat");
  EXPECT_EQ(Find<QComboBox>("jvcEncQuality")->currentText(), "Balanced");
  EXPECT_EQ(Find<QComboBox>("jvcSourceType")->currentText(), "Progressive");
  EXPECT_EQ(Find<QComboBox>("jvcFPS")->currentIndex(), -1);
  EXPECT_EQ(Find<QComboBox>("jvcFPS")->count(), 9);
  EXPECT_EQ(Find<QLineEdit>("jvsThreads")->text(), "0");
  EXPECT_EQ(Find<QLineEdit>("jvsMaxBFrames")->text(), "2");
  EXPECT_EQ(Find<QCheckBox>("jvcBRef")->text(), "Allow B frames as references");
  EXPECT_EQ(Find<QPushButton>("jvbEncode")->text(), "Encode");
  EXPECT_EQ(ControlOf(form_->focusWidget()), "jvcFPS");

  auto* preview = Find<QPlainTextEdit>("jvtParams");
  EXPECT_TRUE(preview->isReadOnly());
  EXPECT_TRUE(preview->textInteractionFlags() & Qt::TextSelectableByKeyboard);
  EXPECT_EQ(preview->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(preview->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(preview->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(preview->palette().color(QPalette::Base),
            preview->palette().color(QPalette::ToolTipBase));
}

}  // namespace
}  // namespace korvu::app
