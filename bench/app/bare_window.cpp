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

#include "app/pictures/picture_icon.h"

namespace {

using korvu::app::PictureIcon;

struct Box {
  int left, top, width, height;
};

void Place(QWidget* widget, Box box) {
  widget->setGeometry(box.left, box.top, box.width, box.height);
}

struct FileRow {
  Box box;
  const char* picture;
};
constexpr FileRow kFileFields[] = {{{8, 24, 249, 21}, "wand"},
                                   {{8, 64, 249, 21}, "chart"},
                                   {{272, 24, 249, 21}, "folder"},
                                   {{272, 64, 249, 21}, "drive"}};

struct SpinRow {
  Box box;
  int minimum, maximum, value;
  const char* hint;
};
constexpr SpinRow kSpinFields[] = {
    {{176, 120, 33, 21},
     0,
     16,
     8,
     "Maximum number of threads\n(useful for multicore processors)\n\n0 = let encoder decide"},
    {{8, 152, 33, 21}, 1, 4, 4, nullptr},
    {{8, 176, 33, 21}, 1, 3, 2, nullptr},
    {{8, 200, 33, 21}, 1, 4, 4, nullptr}};

struct NumberRow {
  Box box;
  const char* hint;
};
constexpr NumberRow kNumberFields[] = {
    {{96, 120, 65, 21}, nullptr},
    {{408, 168, 65, 21},
     "To limit the number of frames to be encoded.\n\n0 = all frames of the source"}};

struct ListRow {
  Box box;
  bool editable;
  QStringList entries;
  int index;
  const char* hint;
};

struct CheckRow {
  Box box;
  const char* caption;
  const char* hint;
};
constexpr CheckRow kCheckBoxes[] = {
    {{392, 120, 120, 17},
     "Macroblock Adaptive",
     "Only valid if interlaced.\n\nChecked = MBAFF\nUnchecked = PAFF"},
    {{8, 224, 160, 17}, "Allow B frames as references", nullptr},
    {{24, 240, 176, 17}, "Use B frame reference pyramide", nullptr}};

struct ButtonRow {
  Box box;
  const char* caption;
  const char* picture;
  int font_pixels;
  const char* hint;
};
constexpr ButtonRow kButtons[] = {
    {{272, 200, 105, 25}, "Load settings", "load", 11, nullptr},
    {{272, 232, 105, 25},
     "Save settings",
     "save",
     11,
     "Save as 'Korvu.ini' in the application folder\nto store default settings loaded on startup"},
    {{400, 200, 121, 57},
     "Encode",
     "gears",
     19,
     "Creates and executes a batch file for 2 pass encoding"}};

struct LabelRow {
  Box box;
  const char* caption;
  bool maroon;
};
constexpr LabelRow kLabels[] = {{{8, 8, 100, 13}, "CLI Encoder location", true},
                                {{8, 48, 62, 13}, "Statistics file", true},
                                {{272, 8, 74, 13}, "Input video file", true},
                                {{272, 48, 82, 13}, "Output video file", true},
                                {{8, 104, 80, 13}, "Encoding quality", false},
                                {{96, 104, 67, 13}, "Bitrate (kbps)", true},
                                {{216, 124, 39, 13}, "threads", false},
                                {{272, 104, 60, 13}, "Source type", false},
                                {{48, 156, 84, 13}, "seconds per GOP", false},
                                {{48, 180, 131, 13}, "max. consecutive B frames", false},
                                {{48, 204, 115, 13}, "max. Reference frames", false},
                                {{272, 152, 122, 13}, "Frames per sec. override", false},
                                {{408, 152, 62, 13}, "Max. frames", false}};

void Hint(QWidget* widget, const char* hint) {
  if (hint != nullptr) widget->setToolTip(QString::fromUtf8(hint));
}

void AddFileField(QWidget* window, const FileRow& row) {
  auto* edit = new QLineEdit(window);
  Place(edit, row.box);
  auto* browse = new QToolButton(edit);
  browse->setIcon(PictureIcon(QString::fromLatin1(row.picture)));
  browse->setCursor(Qt::ArrowCursor);
  browse->setGeometry(row.box.width - 21, 0, 21, row.box.height);
  edit->setTextMargins(0, 0, 21, 0);
}

void AddListFields(QWidget* window) {
  const ListRow rows[] = {
      {{8, 120, 73, 21}, true, {"Fast", "Balanced", "Highest"}, 1, nullptr},
      {{272, 120, 105, 21},
       false,
       {"Progressive", "Interlaced, TFF", "Interlaced, BFF"},
       0,
       nullptr},
      {{272, 168, 121, 21},
       true,
       {"24000/1001", "24", "25", "30000/1001", "30", "50", "60000/1001", "60", ""},
       -1,
       "Change framerate of the output\n\nFormats: Number (.) or fraction (/)\n\nempty = use "
       "source "
       "framerate"}};
  for (const ListRow& row : rows) {
    auto* list = new QComboBox(window);
    list->setEditable(row.editable);
    list->addItems(row.entries);
    list->setCurrentIndex(row.index);
    Place(list, row.box);
    Hint(list, row.hint);
  }
}

void AddControls(QWidget* window) {
  for (const LabelRow& row : kLabels) {
    auto* label = new QLabel(QString::fromLatin1(row.caption), window);
    Place(label, row.box);
    if (row.maroon) label->setStyleSheet(QStringLiteral("color: maroon"));
  }
  for (const FileRow& row : kFileFields) AddFileField(window, row);
  for (const NumberRow& row : kNumberFields) {
    auto* edit = new QLineEdit(QStringLiteral("0"), window);
    edit->setAlignment(Qt::AlignRight);
    Place(edit, row.box);
    Hint(edit, row.hint);
  }
  for (const SpinRow& row : kSpinFields) {
    auto* spin = new QSpinBox(window);
    spin->setRange(row.minimum, row.maximum);
    spin->setValue(row.value);
    Place(spin, row.box);
    Hint(spin, row.hint);
  }
  AddListFields(window);
  for (const CheckRow& row : kCheckBoxes) {
    auto* box = new QCheckBox(QString::fromLatin1(row.caption), window);
    box->setTristate(true);
    Place(box, row.box);
    Hint(box, row.hint);
  }
  for (const ButtonRow& row : kButtons) {
    auto* button = new QPushButton(PictureIcon(QString::fromLatin1(row.picture)),
                                   QString::fromLatin1(row.caption), window);
    QFont font = button->font();
    font.setPixelSize(row.font_pixels);
    button->setFont(font);
    Place(button, row.box);
    Hint(button, row.hint);
  }
  auto* preview = new QPlainTextEdit(window);
  preview->setReadOnly(true);
  preview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette colours = preview->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  preview->setPalette(colours);
  Place(preview, {0, 264, 529, 49});
}

// Ends the program once the window has painted for the first time (the frame is flushed to the
// screen within the same repaint, before the posted quit runs).
class QuitAfterFirstPaint : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
  }
};

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
  window.setWindowTitle(QStringLiteral("Korvu - making Pimbrosse!"));
  window.setWindowIcon(PictureIcon(QStringLiteral("korvu")));
  window.setBackgroundRole(QPalette::Button);
  window.setAutoFillBackground(true);
  window.setFixedSize(529, 313);
  AddControls(&window);
  window.move(window.screen()->availableGeometry().center() - window.rect().center());

  QuitAfterFirstPaint quit;
  if (qEnvironmentVariableIsSet("KORVU_QUIT_AFTER_FIRST_PAINT")) window.installEventFilter(&quit);
  window.show();
  return QApplication::exec();
}
