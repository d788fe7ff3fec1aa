#include "app/main_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/dm.h"
#include "app/fields/check_field.h"
#include "app/fields/file_name_field.h"
#include "app/fields/list_field.h"
#include "app/fields/number_field.h"
#include "app/fields/spin_field.h"
#include "app/guard.h"
#include "app/main_form_layout.h"
#include "app/pictures/picture_icon.h"
#include "app/wait_without_input.h"
#include "app/window_font.h"
#include "job/first_activation.h"
#include "job/job_script.h"
#include "job/settings_file.h"

namespace korvu::app {
namespace {

constexpr Qt::WindowFlags kTitleBar = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                      Qt::WindowCloseButtonHint;

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QString Latin1(const char* text) {
  return QString::fromLatin1(text);
}

// An error that a settings load meets and goes on past reaches the same report as one that
// leaves a handler.
void ReportAndGoOn(const job::Error& error) {
  Guarded([&error] { throw error; });
}

std::vector<std::string> OfferedFrameRates() {
  return {std::begin(job::kOfferedFrameRates), std::end(job::kOfferedFrameRates)};
}

}  // namespace

TMainForm::TMainForm(job::Job& job, WindowPlatform platform, QWidget* parent)
    : QWidget(parent, kTitleBar), job_(job), platform_(std::move(platform)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(Latin1(layout::kTitle));
  setWindowIcon(PictureIcon(QStringLiteral("korvu")));
  setFont(WindowFont(layout::kFontPixels));
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);
  setFixedSize(layout::kClientWidth, layout::kClientHeight);
  createFields();
  createButtons();
  createPreview();
  createLabels();
  placeControls();
  setTabOrder();
  setHints();
  setFileFields();
  setPictures();
  wire();
  move(screen()->availableGeometry().center() - rect().center());
  jvcFPS->setFocus();
  FormCreate();
}

// The job outlives the window: a rebuild after this must not reach it.
TMainForm::~TMainForm() {
  job_.OnParamsUpdated(nullptr);
}

void TMainForm::createFields() {
  job::JobSettings& s = job_.Settings();
  const job::PathRules& rules = s.Rules();
  jveEncoder = Named(new FileNameField(s.Encoder, rules, this), "jveEncoder");
  jveStats = Named(new FileNameField(s.Stats, rules, this), "jveStats");
  jveInput = Named(new FileNameField(s.Input, rules, this), "jveInput");
  jveOutput = Named(new FileNameField(s.Output, rules, this), "jveOutput");
  jvcEncQuality =
      Named(new ListField(s.EncQuality, ListField::Style::kEditable, this), "jvcEncQuality");
  jveBitrate = Named(new NumberField(s.Bitrate, this), "jveBitrate");
  jvsThreads = Named(new SpinField(s.Threads, this), "jvsThreads");
  jvsGOPSec = Named(new SpinField(s.GOPSec, this), "jvsGOPSec");
  jvcSourceType =
      Named(new ListField(s.SourceType, ListField::Style::kFixed, this), "jvcSourceType");
  jvcMBAFF =
      Named(new CheckField(s.MBAFF, QStringLiteral("Macroblock Adaptive"), this), "jvcMBAFF");
  jvcFPS = Named(new ListField(s.fps, OfferedFrameRates(), this), "jvcFPS");
  jveMaxFrames = Named(new NumberField(s.MaxFrames, this), "jveMaxFrames");
  jvsMaxBFrames = Named(new SpinField(s.MaxBFrames, this), "jvsMaxBFrames");
  jvsRefFrames = Named(new SpinField(s.RefFrames, this), "jvsRefFrames");
  jvcBRef = Named(new CheckField(s.BRef, QStringLiteral("Allow B frames as references"), this),
                  "jvcBRef");
  jvcPyramide =
      Named(new CheckField(s.Pyramide, QStringLiteral("Use B frame reference pyramide"), this),
            "jvcPyramide");
}

void TMainForm::createButtons() {
  for (const layout::Button& row : layout::kButtons) {
    auto* button = Named(new QPushButton(Latin1(row.caption), this), row.name);
    if (row.font_pixels != layout::kFontPixels) button->setFont(WindowFont(row.font_pixels));
  }
  jvbLoadIni = findChild<QPushButton*>(QStringLiteral("jvbLoadIni"));
  jvbSaveIni = findChild<QPushButton*>(QStringLiteral("jvbSaveIni"));
  jvbEncode = findChild<QPushButton*>(QStringLiteral("jvbEncode"));
  jvbEncode->setEnabled(false);  // only the rebuild of the parameter line enables it
}

void TMainForm::createPreview() {
  jvtParams = Named(new QPlainTextEdit(this), "jvtParams");
  jvtParams->setReadOnly(true);
  jvtParams->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  jvtParams->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  jvtParams->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  jvtParams->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  jvtParams->setTabChangesFocus(true);
  QPalette colours = jvtParams->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Text, colours.color(QPalette::ToolTipText));
  jvtParams->setPalette(colours);
}

void TMainForm::createLabels() {
  for (const layout::Label& row : layout::kLabels) {
    auto* label = Named(new QLabel(Latin1(row.caption), this), row.name);
    label->setTextFormat(Qt::PlainText);
    QWidget* field = Control(row.names);
    label->setBuddy(field);
    field->setAccessibleName(label->text());
    if (row.maroon) {
      QPalette colours = label->palette();
      colours.setColor(QPalette::WindowText, QColor::fromRgb(layout::kMaroon));
      label->setPalette(colours);
    }
    const layout::Box& box = row.box;
    label->setGeometry(box.left, box.top, box.width, box.height);
  }
}

void TMainForm::placeControls() {
  for (const layout::Input& row : layout::kInputs)
    Control(row.name)->setGeometry(row.box.left, row.box.top, row.box.width, row.box.height);
}

void TMainForm::setTabOrder() {
  QWidget* previous = nullptr;
  for (const layout::Input& row : layout::kInputs) {
    QWidget* control = Control(row.name);
    if (previous != nullptr) QWidget::setTabOrder(previous, control);
    previous = control;
  }
}

void TMainForm::setHints() {
  for (const layout::Hint& row : layout::kHints)
    Control(row.control)->setToolTip(Latin1(row.text).replace(QStringLiteral("\r\n"), "\n"));
}

void TMainForm::setFileFields() {
  for (const layout::FileField& row : layout::kFileFields) {
    auto* field = static_cast<FileNameField*>(Control(row.name));
    field->SetDialogKind(row.dialog);
    field->SetDefaultExt(Latin1(row.default_ext));
    field->SetFilter(Latin1(row.filter));
  }
}

void TMainForm::setPictures() {
  for (const layout::FileField& row : layout::kFileFields)
    static_cast<FileNameField*>(Control(row.name))->SetPicture(PictureIcon(Latin1(row.picture)));
  for (const layout::Button& row : layout::kButtons)
    static_cast<QPushButton*>(Control(row.name))->setIcon(PictureIcon(Latin1(row.picture)));
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

QWidget* TMainForm::Control(const char* name) const {
  return findChild<QWidget*>(Latin1(name), Qt::FindDirectChildrenOnly);
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
  jvbEncode->setEnabled(job_.EncodeEnabled());
  const QString preview = QString::fromStdString(job_.Preview());
  // Rewriting the same text would drop the user's selection in it.
  if (jvtParams->toPlainText() != preview) jvtParams->setPlainText(preview);
}

void TMainForm::jvbLoadIniClick() {
  if (const auto path = dm_->ChooseLoad()) job::LoadSettings(job_, *path, ReportAndGoOn);
}

void TMainForm::jvbSaveIniClick() {
  if (const auto path = dm_->ChooseSave()) job::SaveSettings(job_, *path);
}

void TMainForm::jvbEncodeClick() {
  const job::EncodeHooks hooks{
      .disable_encode = [this] { jvbEncode->setEnabled(false); },
      .minimize = [this] { showMinimized(); },
      .exec_and_wait = [this](const std::string& line,
                              std::uint16_t mode) { return WaitForConsole(line, mode); },
      .restore =
          [this] {
            showNormal();
            raise();
            activateWindow();
          },
  };
  job::RunEncode(job_, platform_.executable_path, hooks);
  if (close_requested_) QTimer::singleShot(0, this, &QWidget::close);
}

int TMainForm::WaitForConsole(const std::string& command_line, std::uint16_t show_mode) {
  job_running_ = true;
  const int code =
      WaitWithoutInput([&] { return platform_.exec_and_wait(command_line, show_mode); });
  job_running_ = false;
  return code;
}

// A close asked for while a job runs waits for the run's end, as the window does not answer
// before.
void TMainForm::closeEvent(QCloseEvent* event) {
  if (!job_running_) return QWidget::closeEvent(event);
  close_requested_ = true;
  event->ignore();
}

}  // namespace korvu::app
