// The yardstick for Korvu's start-up: a bare Qt window with the same controls at the same places,
// the same font, pictures and hints, and nothing behind them (no job, no settings file, no encoder
// search). With KORVU_QUIT_AFTER_FIRST_PAINT set it ends right after its first paint, as Korvu
// does, so that bench/app/compare.sh can time both from start to the first frame.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <vector>

#include "app/form/window_description.h"
#include "app/qt/pictures/picture_icon.h"
#include "app/qt/quit_after_first_paint.h"

namespace {

using korvu::app::PictureIcon;
namespace form = korvu::form;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Place(QWidget* widget, const form::Box& box) {
  widget->setGeometry(box.left, box.top, box.width, box.height);
}

QWidget* FileField(QWidget* window, const form::Control& row) {
  auto* edit = new QLineEdit(window);
  auto* browse = new QToolButton(edit);
  browse->setIcon(PictureIcon(Text(row.picture)));
  browse->setCursor(Qt::ArrowCursor);
  browse->setGeometry(row.box.width - form::kBrowseButtonWidth, 0, form::kBrowseButtonWidth,
                      row.box.height);
  edit->setTextMargins(0, 0, form::kBrowseButtonWidth, 0);
  return edit;
}

// A plain list with the entries a job offers; the bare window has no job, so the frame rates
// stand for every list.
QWidget* List(QWidget* window, bool editable) {
  auto* list = new QComboBox(window);
  list->setEditable(editable);
  for (const std::string_view entry : korvu::job::kOfferedFrameRates) list->addItem(Text(entry));
  return list;
}

QWidget* Button(QWidget* window, const form::Control& row) {
  auto* button = new QPushButton(PictureIcon(Text(row.picture)), Text(row.caption), window);
  QFont font = button->font();
  font.setPixelSize(row.font_pixels);
  button->setFont(font);
  return button;
}

QWidget* Preview(QWidget* window) {
  auto* preview = new QPlainTextEdit(window);
  preview->setReadOnly(true);
  preview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette colours = preview->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  preview->setPalette(colours);
  return preview;
}

// Qt's stock widget for each kind of control, with nothing bound to it.
QWidget* Plain(QWidget* window, const form::Control& row) {
  switch (row.kind) {
    case form::Kind::kFileName:
      return FileField(window, row);
    case form::Kind::kNumber: {
      auto* edit = new QLineEdit(QStringLiteral("0"), window);
      edit->setAlignment(Qt::AlignRight);
      return edit;
    }
    case form::Kind::kSpin:
      return new QSpinBox(window);
    case form::Kind::kEditableList:
    case form::Kind::kFreeTextList:
      return List(window, true);
    case form::Kind::kFixedList:
      return List(window, false);
    case form::Kind::kCheckBox: {
      auto* box = new QCheckBox(Text(row.caption), window);
      box->setTristate(true);
      return box;
    }
    case form::Kind::kButton:
      return Button(window, row);
    case form::Kind::kPreview:
      return Preview(window);
  }
  return nullptr;
}

// The keystroke benchmark's yardstick: what is typed into a line edit shows in the preview box,
// with nothing else behind it.
void AddControls(QWidget* window) {
  std::vector<QLineEdit*> edits;
  QPlainTextEdit* preview = nullptr;
  for (const form::Control& row : form::kControls) {
    QWidget* control = Plain(window, row);
    Place(control, row.box);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edits.push_back(edit);
    if (auto* box = qobject_cast<QPlainTextEdit*>(control)) preview = box;
    if (!row.hint.empty())
      control->setToolTip(Text(row.hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    if (row.label.name.empty()) continue;
    auto* label = new QLabel(Text(row.label.caption), window);
    Place(label, row.label.box);
    if (row.label.maroon) label->setStyleSheet(QStringLiteral("color: maroon"));
  }
  for (QLineEdit* edit : edits)
    QObject::connect(edit, &QLineEdit::textChanged, preview, &QPlainTextEdit::setPlainText);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Debian's fonts-wine brings Tahoma outside fontconfig's folders.
  const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
  if (QFile::exists(tahoma)) QFontDatabase::addApplicationFont(tahoma);
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);
  QApplication::setFont(font);

  QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint);
  window.setWindowTitle(Text(form::kTitle));
  window.setWindowIcon(PictureIcon(QStringLiteral("korvu")));
  window.setBackgroundRole(QPalette::Button);
  window.setAutoFillBackground(true);
  window.setFixedSize(form::kClientWidth, form::kClientHeight);
  AddControls(&window);
  window.move(window.screen()->availableGeometry().center() - window.rect().center());

  korvu::app::QuitAfterFirstPaint quit;
  if (qEnvironmentVariableIsSet("KORVU_QUIT_AFTER_FIRST_PAINT")) window.installEventFilter(&quit);
  window.show();
  return QApplication::exec();
}
