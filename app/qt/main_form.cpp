#include "app/qt/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "app/qt/dm.h"
#include "app/qt/fields/check_field.h"
#include "app/qt/fields/file_name_field.h"
#include "app/qt/fields/list_field.h"
#include "app/qt/fields/number_field.h"
#include "app/qt/fields/preview_box.h"
#include "app/qt/fields/spin_field.h"
#include "app/qt/pictures/picture_icon.h"
#include "app/qt/qt_text.h"
#include "app/qt/wait_without_input.h"
#include "app/qt/window_font.h"

namespace korvu::app {
namespace {

constexpr Qt::WindowFlags kTitleBar = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                      Qt::WindowCloseButtonHint;

QRect Rect(const form::Box& box) {
  return {box.left, box.top, box.width, box.height};
}

// A hint as the tool tip shows it: the stored CR LF line breaks as Qt's.
QString Hint(std::string_view text) {
  return ToQt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

const form::Control& kEncode = form::ControlNamed("jvbEncode");
const form::Control& kPreview = form::ControlNamed("jvtParams");

}  // namespace

TMainForm::TMainForm(job::Job& job, form::WindowPlatform platform, QWidget* parent)
    : QWidget(parent, kTitleBar), job_(job), form_(job, std::move(platform), *this) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(ToQt(form::kTitle));
  setWindowIcon(PictureIcon(QStringLiteral("korvu")));
  setFont(WindowFont(form::kFontPixels));
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);
  setFixedSize(form::kClientWidth, form::kClientHeight);
  createControls();
  move(screen()->availableGeometry().center() - rect().center());
  Control(form::ControlNamed(form::kFirstFocus))->setFocus();
  form_.FormCreate();
}

void TMainForm::SetDataModule(TDM& dm) {
  form_.SetDataModule(dm);
}

// One pass over the description: each control made, named, placed, labelled, hinted and chained
// into the tab order in the order of its row.
void TMainForm::createControls() {
  QWidget* previous = nullptr;
  for (std::size_t i = 0; i < std::size(form::kControls); ++i) {
    const form::Control& row = form::kControls[i];
    QWidget* widget = createControl(row);
    widget->setObjectName(ToQt(row.name));
    widget->setGeometry(Rect(row.box));
    // A check box takes the width its caption needs in the style at hand, as far as the room
    // beside it allows: at some scales the box described cuts the caption's last letter.
    if (row.kind == form::Kind::kCheckBox)
      widget->resize(
          std::clamp(widget->sizeHint().width(), row.box.width, form::RoomBeside(row.box)),
          row.box.height);
    if (!row.hint.empty()) widget->setToolTip(Hint(row.hint));
    // Screen readers announce every control by its label's caption or its own.
    widget->setAccessibleName(ToQt(row.label.name.empty() ? row.caption : row.label.caption));
    if (auto* list = qobject_cast<QComboBox*>(widget); list && list->lineEdit())
      list->lineEdit()->setAccessibleName(widget->accessibleName());
    if (!row.label.name.empty()) createLabel(row.label, widget);
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = controls_[i] = widget;
  }
  Control(kEncode)->setEnabled(false);  // only the rebuild of the parameter line enables it
}

QWidget* TMainForm::createControl(const form::Control& row) {
  job::JobSettings& s = job_.Settings();
  switch (row.kind) {
    case form::Kind::kFileName: {
      auto* field =
          new FileNameField(form::RequiredValueOf<job::TextValue>(s, row), s.Rules(), this);
      field->SetDialog(row.dialog);
      field->SetPicture(PictureIcon(ToQt(row.picture)));
      return field;
    }
    case form::Kind::kNumber:
      return new NumberField(form::RequiredValueOf<job::NumberText>(s, row), this);
    case form::Kind::kSpin:
      return new SpinField(form::RequiredValueOf<job::BoundedInt>(s, row), this);
    case form::Kind::kEditableList:
    case form::Kind::kFixedList: {
      const bool editable = row.kind == form::Kind::kEditableList;
      return new ListIndexField(
          form::RequiredValueOf<job::ListIndex>(s, row),
          editable ? ListIndexField::Style::kEditable : ListIndexField::Style::kFixed, this);
    }
    case form::Kind::kFreeTextList:
      return new FreeTextList(form::RequiredValueOf<job::TextValue>(s, row), form::EntriesOf(row),
                              this);
    case form::Kind::kCheckBox:
      if (auto* box = form::ValueOf<job::CheckBox>(s, row))
        return new CheckField(*box, ToQt(row.caption), this);
      return new CheckField(form::RequiredValueOf<job::Flag>(s, row), ToQt(row.caption), this);
    case form::Kind::kButton:
      return createButton(row);
    case form::Kind::kPreview:
      return createPreview();
  }
  qFatal("%s is of no known kind", std::string(row.name).c_str());
}

QWidget* TMainForm::createButton(const form::Control& row) {
  auto* button = new QPushButton(ToQt(row.caption), this);
  if (row.font_pixels != form::kFontPixels) button->setFont(WindowFont(row.font_pixels));
  button->setIcon(PictureIcon(ToQt(row.picture)));
  connect(button, &QPushButton::clicked, this, [this, &row] { form_.Click(row); });
  return button;
}

QWidget* TMainForm::createPreview() {
  auto* preview = new PreviewBox(this);
  QPalette colours = preview->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Text, colours.color(QPalette::ToolTipText));
  preview->setPalette(colours);
  return preview;
}

void TMainForm::createLabel(const form::Label& row, QWidget* field) {
  auto* label = new QLabel(ToQt(row.caption), this);
  label->setObjectName(ToQt(row.name));
  label->setTextFormat(Qt::PlainText);
  label->setBuddy(field);
  if (row.maroon) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, QColor::fromRgb(form::kMaroon));
    label->setPalette(colours);
  }
  label->setGeometry(Rect(row.box));
}

QWidget* TMainForm::Control(const form::Control& row) const {
  return controls_[static_cast<std::size_t>(&row - form::kControls)];
}

// Qt activates a window again after every dialog and message box and after a visit to another
// application; the window's activation event counts only the first time it takes the focus. Where
// no window manager hands out the focus, the first paint stands in for it.
bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) ScheduleActivation();
  return QWidget::event(event);
}

void TMainForm::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  ScheduleActivation();
}

// Posted, so that the work runs outside the event that asked for it and, after a paint, once the
// frame has reached the screen.
void TMainForm::ScheduleActivation() {
  if (form_.RequestActivation()) QTimer::singleShot(0, this, [this] { form_.Activate(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (form_.CloseQuery()) return QWidget::closeEvent(event);
  event->ignore();
}

void TMainForm::FocusControl(const form::Control& row) {
  if (QWidget* control = Control(row); control->isEnabled())
    control->setFocus(Qt::OtherFocusReason);
}

const form::Control* TMainForm::FocusedControl() const {
  const QWidget* focused = focusWidget();
  for (std::size_t i = 0; focused != nullptr && i < controls_.size(); ++i)
    if (controls_[i] == focused || controls_[i]->isAncestorOf(focused)) return &form::kControls[i];
  return nullptr;
}

void TMainForm::EnableControl(const form::Control& row, bool enabled) {
  Control(row)->setEnabled(enabled);
}

void TMainForm::ShowEncodeHint(const std::string& hint, const std::string& reasons) {
  QWidget* encode = Control(kEncode);
  encode->setToolTip(Hint(hint));
  encode->setAccessibleDescription(Hint(reasons).trimmed());
}

void TMainForm::ShowPreview(const std::string& text) {
  static_cast<PreviewBox*>(Control(kPreview))->SetText(ToQt(text));
}

void TMainForm::ShowBusy(bool busy) {
  if (busy) return QApplication::setOverrideCursor(Qt::BusyCursor);
  QApplication::restoreOverrideCursor();
}

// Wayland lets no program bring back a window that it minimised (only the user can): there the
// window stays in sight for the run, disabled under its busy pointer, as it shows itself when the
// user brings it back during a run elsewhere.
void TMainForm::Minimize() {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) showMinimized();
}

void TMainForm::Restore() {
  showNormal();
  raise();
  activateWindow();
}

// Closing a window that is already hidden would not end the program by itself.
void TMainForm::Close() {
  QTimer::singleShot(0, this, [this] {
    close();
    QCoreApplication::quit();
  });
}

int TMainForm::WaitWithoutInput(const std::function<int(const form::WindowPlatform::Pump&)>& work) {
  return app::WaitWithoutInput([&] { return work({}); });
}

}  // namespace korvu::app
