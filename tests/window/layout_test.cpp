// The window built from its description against a golden file typed from the description's
// source: every control where it belongs, in its tab order, named, hinted and coloured.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <string>
#include "app/qt/fields/preview_box.h"

#include "app/form/window_description.h"
#include "tests/window/golden_file.h"
#include "tests/window/window_fixture.h"

namespace korvu::app {
namespace {

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

std::string Box(const QRect& box) {
  return std::to_string(box.x()) + ',' + std::to_string(box.y()) + ',' +
         std::to_string(box.width()) + ',' + std::to_string(box.height());
}

// A check box as wide as its caption needs, within the room beside it, reads as the described
// box; one of another width shows both.
std::string FittedBox(const QWidget& widget, const form::Box& described) {
  const int fitted =
      std::clamp(widget.sizeHint().width(), described.width, form::RoomBeside(described));
  QRect box = widget.geometry();
  if (box.width() != fitted) return Box(box) + " (fitted " + std::to_string(fitted) + ')';
  box.setWidth(described.width);
  return Box(box);
}

// A hint or caption as the golden file writes it: quoted, a line break as \r\n.
std::string Quoted(const QString& text) {
  std::string quoted = text.toStdString();
  for (std::size_t at = 0; (at = quoted.find('\n', at)) != std::string::npos; at += 4)
    quoted.replace(at, 1, "\\r\\n");
  return '"' + quoted + '"';
}

// The window as the golden file describes it, read off the widgets that the description built.
std::string Described(const QWidget& form) {
  std::string text;
  for (const form::Control& row : form::kControls) {
    const auto* widget =
        form.findChild<QWidget*>(QString::fromUtf8(row.name.data(), row.name.size()));
    if (widget == nullptr) {
      text += "missing " + std::string(row.name) + "\n";
      continue;
    }
    // What a screen reader announces; a button or check box shows it as its caption too.
    const QString caption = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget))
                                ->text(QAccessible::Name);
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), caption);
    }
    const bool fits_its_caption = row.kind == form::Kind::kCheckBox;
    text += "control " + std::string(row.name) + ' ' +
            (fits_its_caption ? FittedBox(*widget, row.box) : Box(widget->geometry())) +
            " caption=" + Quoted(caption) + " hint=" + Quoted(widget->toolTip()) + '\n';
    for (const auto* label : form.findChildren<QLabel*>()) {
      if (label->buddy() != widget) continue;
      const bool maroon = label->palette().color(QPalette::WindowText) == QColor(0x80, 0, 0);
      text += "label " + label->objectName().toStdString() + ' ' + Box(label->geometry()) +
              " caption=" + Quoted(label->text()) + " names=" + std::string(row.name) +
              " colour=" + (maroon ? "maroon" : "window-text") + '\n';
    }
  }
  return text;
}

TEST_F(LayoutTest, TheWindowIsTheOneDescribed) {
  Create();
  EXPECT_EQ(Described(*form_), test::MainFormGoldenFile());
  for (const auto* label : form_->findChildren<QLabel*>()) {
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(label->buddy()->accessibleName(), label->text());
  }
}

// Screen readers hear a spin field as a spin button with its value and limits.
TEST_F(LayoutTest, SpinFieldsAreSpinButtonsWithTheirLimits) {
  Create();
  for (const form::Control& row : form::kControls) {
    if (row.kind != form::Kind::kSpin) continue;
    QAccessibleInterface* spin =
        QAccessible::queryAccessibleInterface(Find(std::string(row.name).c_str()));
    EXPECT_EQ(spin->role(), QAccessible::SpinBox) << row.name;
    QAccessibleValueInterface* value = spin->valueInterface();
    ASSERT_NE(value, nullptr) << row.name;
    const job::BoundedInt& bounded = *form::ValueOf<job::BoundedInt>(job_.Settings(), row);
    EXPECT_EQ(value->currentValue().toInt(), bounded.Value()) << row.name;
    EXPECT_EQ(value->minimumValue().toInt(), bounded.Min()) << row.name;
    EXPECT_EQ(value->maximumValue().toInt(), bounded.Max()) << row.name;
  }
}

TEST_F(LayoutTest, TabWalksTheControlsInOrderAndAround) {
  ShowAndActivate();
  MakeJobReady();  // a disabled "Encode" takes no focus
  Find("jveEncoder")->setFocus();
  const std::size_t count = std::size(form::kControls);
  for (std::size_t i = 1; i <= count; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(FocusedControl().toStdString(), form::kControls[i % count].name) << "tab " << i;
  }
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

  auto* preview = Find<PreviewBox>("jvtParams");
  EXPECT_EQ(preview->focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(preview->palette().color(QPalette::Base),
            preview->palette().color(QPalette::ToolTipBase));
}

}  // namespace
}  // namespace korvu::app
