#include "app/qt/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <span>
#include <variant>
#include <vector>

#include "app/form/guard.h"
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
#include "job/first_activation.h"
#include "job/job_script.h"
#include "job/settings_file.h"

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

template <typename Value>
Value& Must(Value* value, const form::Control& row) {
  if (value == nullptr) qFatal("%s shows no value of its kind", std::string(row.name).c_str());
  return *value;
}

// An error that a settings load meets and goes on past reaches the same report as one that
// leaves a handler.
void ReportAndGoOn(const job::Error& error) {
  Report(error.what());
}

std::vector<std::string> Entries(std::span<const std::string_view> entries) {
  return {entries.begin(), entries.end()};
}

}  // namespace

TMainForm::TMainForm(job::Job& job, WindowPlatform platform, QWidget* parent)
    : QWidget(parent, kTitleBar), job_(job), platform_(std::move(platform)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(ToQt(form::kTitle));
  setWindowIcon(PictureIcon(QStringLiteral("korvu")));
  setFont(WindowFont(form::kFontPixels));
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);
  setFixedSize(form::kClientWidth, form::kClientHeight);
  createControls();
  wire();
  move(screen()->availableGeometry().center() - rect().center());
  control<QWidget>(form::kFirstFocus)->setFocus();
  FormCreate();
}

// The job outlives the window: a rebuild after this must not reach it.
TMainForm::~TMainForm() {
  job_.OnParamsUpdated(nullptr);
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
    if (!row.hint.empty()) widget->setToolTip(Hint(row.hint));
    // Screen readers announce every control by its label's caption or its own.
    widget->setAccessibleName(ToQt(row.label.name.empty() ? row.caption : row.label.caption));
    if (auto* list = qobject_cast<QComboBox*>(widget); list && list->lineEdit())
      list->lineEdit()->setAccessibleName(widget->accessibleName());
    if (!row.label.name.empty()) createLabel(row.label, widget);
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = controls_[i] = widget;
  }
  jveEncoder = control<QWidget>("jveEncoder");
  jveInput = control<QWidget>("jveInput");
  jvbLoadIni = control<QPushButton>("jvbLoadIni");
  jvbSaveIni = control<QPushButton>("jvbSaveIni");
  jvbEncode = control<QPushButton>("jvbEncode");
  jvtParams = control<PreviewBox>("jvtParams");
  jvbEncode->setEnabled(false);  // only the rebuild of the parameter line enables it
}

QWidget* TMainForm::createControl(const form::Control& row) {
  job::JobSettings& s = job_.Settings();
  switch (row.kind) {
    case form::Kind::kFileName: {
      auto* field =
          new FileNameField(Must(form::ValueOf<job::TextValue>(s, row), row), s.Rules(), this);
      field->SetDialog(row.dialog);
      field->SetPicture(PictureIcon(ToQt(row.picture)));
      return field;
    }
    case form::Kind::kNumber:
      return new NumberField(Must(form::ValueOf<job::NumberText>(s, row), row), this);
    case form::Kind::kSpin:
      return new SpinField(Must(form::ValueOf<job::BoundedInt>(s, row), row), this);
    case form::Kind::kEditableList:
    case form::Kind::kFixedList: {
      const bool editable = row.kind == form::Kind::kEditableList;
      return new ListIndexField(
          Must(form::ValueOf<job::ListIndex>(s, row), row),
          editable ? ListIndexField::Style::kEditable : ListIndexField::Style::kFixed, this);
    }
    case form::Kind::kFreeTextList:
      return new FreeTextList(Must(form::ValueOf<job::TextValue>(s, row), row),
                              Entries(row.entries), this);
    case form::Kind::kCheckBox:
      if (auto* box = form::ValueOf<job::CheckBox>(s, row))
        return new CheckField(*box, ToQt(row.caption), this);
      return new CheckField(Must(form::ValueOf<job::Flag>(s, row), row), ToQt(row.caption), this);
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

void TMainForm::wire() {
  job_.OnParamsUpdated([this] { ShowParams(); });
  connect(jvbLoadIni, &QPushButton::clicked, this,
          [this] { Guarded([this] { jvbLoadIniClick(); }); });
  connect(jvbSaveIni, &QPushButton::clicked, this,
          [this] { Guarded([this] { jvbSaveIniClick(); }); });
  connect(jvbEncode, &QPushButton::clicked, this,
          [this] { Guarded([this] { jvbEncodeClick(); }); });
}

// The control called `name`, as the kind of widget the caller needs it to be.
template <typename Widget>
Widget* TMainForm::control(std::string_view name) const {
  const auto* row = &form::ControlNamed(name);
  auto* widget = qobject_cast<Widget*>(controls_[static_cast<std::size_t>(row - form::kControls)]);
  if (widget == nullptr) qFatal("%s is no widget of the kind asked for", std::string(name).c_str());
  return widget;
}

void TMainForm::FormCreate() {
  FFirstActivate = true;
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
// frame has reached the screen: the window is seen before any error box.
void TMainForm::ScheduleActivation() {
  if (activation_due_) return;
  activation_due_ = true;
  QTimer::singleShot(0, this, [this] { RaiseActivation(); });
}

void TMainForm::RaiseActivation() {
  activated_ = true;
  Guarded([this] { FormActivate(); });
}

void TMainForm::FormActivate() {
  if (FFirstActivate) {
    const job::FocusTarget focus = job::FirstActivation(
        job_, {platform_.registry, dm_->ProcessorCount(), platform_.executable_path},
        ReportAndGoOn);
    (focus == job::FocusTarget::kInput ? static_cast<QWidget*>(jveInput) : jveEncoder)->setFocus();
    FFirstActivate = false;
  }
  job_.UpdateParams();
}

void TMainForm::ShowParams() {
  const bool ready = job_.EncodeEnabled();
  jvbEncode->setEnabled(ready);
  // A disabled "Encode" says why, in its hint and to screen readers.
  const auto reasons =
      ready ? std::vector<job::NotReadyReason>() : job::NotReadyReasons(job_.Settings());
  // Set only when it changes: this runs on every keystroke.
  if (const QString hint = Hint(form::EncodeHint(reasons)); jvbEncode->toolTip() != hint) {
    jvbEncode->setToolTip(hint);
    jvbEncode->setAccessibleDescription(Hint(form::NotReadyText(reasons)).trimmed());
  }
  jvtParams->SetText(ToQt(job_.Preview()));  // the same text keeps the user's selection
}

void TMainForm::jvbLoadIniClick() {
  if (const auto path = dm_->ChooseLoad()) job::LoadSettings(job_, *path, ReportAndGoOn);
}

void TMainForm::jvbSaveIniClick() {
  if (const auto path = dm_->ChooseSave()) job::SaveSettings(job_, *path);
}

void TMainForm::jvbEncodeClick() {
  // The run disables "Encode", which would hand the focus on to the preview.
  const QPointer<QWidget> focused = focusWidget();
  const job::EncodeHooks hooks{
      .disable_encode = [this] { jvbEncode->setEnabled(false); },
      .minimize = [this] { showMinimized(); },
      .exec_and_wait = [this](const std::string& line,
                              std::uint16_t mode) { return WaitForConsole(line, mode); },
      .restore =
          [this] {
            if (close_requested_) return;  // the window went at the close, and stays gone
            showNormal();
            raise();
            activateWindow();
          },
  };
  job::RunEncode(job_, platform_.executable_path, hooks);
  if (close_requested_) {
    // Closing a window that is already hidden would not end the program by itself.
    QTimer::singleShot(0, this, [this] {
      close();
      QCoreApplication::quit();
    });
    return;
  }
  if (focused != nullptr && focused->isEnabled()) focused->setFocus(Qt::OtherFocusReason);
}

// While the console runs, the window shows that it takes no input: every control that would take
// some is disabled and the pointer is busy over it. The preview stays readable.
int TMainForm::WaitForConsole(const std::string& command_line, std::uint16_t show_mode) {
  job_running_ = true;
  ShowRunning(true);
  const int code =
      WaitWithoutInput([&] { return platform_.exec_and_wait(command_line, show_mode); });
  ShowRunning(false);
  job_running_ = false;
  return code;
}

void TMainForm::ShowRunning(bool running) {
  for (QWidget* control : controls_) {
    // "Encode" is the job's to enable again, by its rebuild after the run.
    if (control != jvtParams && (running || control != jvbEncode)) control->setEnabled(!running);
  }
  if (running) return QApplication::setOverrideCursor(Qt::BusyCursor);
  QApplication::restoreOverrideCursor();
}

// A close asked for while a job runs hides the window at once; the program ends when the run has
// ended, so that the script runs to its end.
void TMainForm::closeEvent(QCloseEvent* event) {
  if (!job_running_) return QWidget::closeEvent(event);
  close_requested_ = true;
  hide();
  event->ignore();
}

}  // namespace korvu::app
