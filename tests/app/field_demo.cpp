// One field of each kind on a small form, at the sizes the main window gives them: a program to
// look at the fields under a real display (Xvfb and a screenshot will do).
#include <QApplication>
#include <QFormLayout>
#include <QStyle>
#include <QWidget>

#include "app/qt/fields/check_field.h"
#include "app/qt/fields/file_name_field.h"
#include "app/qt/fields/list_field.h"
#include "app/qt/fields/number_field.h"
#include "app/qt/fields/spin_field.h"
#include "job/job_settings.h"
#include "platform/file_system.h"

namespace {

template <typename Field>
Field* Sized(Field* field, int width) {
  field->setFixedSize(width, 21);
  return field;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvu;
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication application(argc, argv);
  const job::PathRules rules(job::NativePathStyle(), platform::RealFileSystem());
  job::JobSettings job(rules);
  job.Input.SetText("\"/videos/my trip.avi\"");
  job.Bitrate.SetText("1500");

  QWidget form;
  form.setWindowTitle(QStringLiteral("Fields"));
  auto* layout = new QFormLayout(&form);
  auto* input = Sized(new app::FileNameField(job.Input, rules), 300);
  input->SetPicture(form.style()->standardIcon(QStyle::SP_DirOpenIcon));
  layout->addRow(QStringLiteral("Input"), input);
  layout->addRow(QStringLiteral("Bitrate"), Sized(new app::NumberField(job.Bitrate), 60));
  layout->addRow(QStringLiteral("GOP (s)"), Sized(new app::SpinField(job.GOPSec), 40));
  layout->addRow(
      QStringLiteral("Quality"),
      Sized(new app::ListIndexField(job.EncQuality, app::ListIndexField::Style::kEditable), 90));
  layout->addRow(
      QStringLiteral("Source"),
      Sized(new app::ListIndexField(job.SourceType, app::ListIndexField::Style::kFixed), 120));
  layout->addRow(QString(), new app::CheckField(job.BRef, QStringLiteral("B-references")));
  form.show();
  return QApplication::exec();
}
