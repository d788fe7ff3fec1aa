#include "app/qt/dm.h"

#include "app/form/window_description.h"

#include "app/qt/fields/dialog_filter.h"
#include "app/qt/qt_text.h"
#include "app/qt/run_dialog.h"

namespace korvu::app {
namespace {

std::unique_ptr<QFileDialog> SettingsDialog(QWidget* parent, std::string_view title,
                                            QFileDialog::AcceptMode mode) {
  auto dialog = std::make_unique<QFileDialog>(parent, ToQt(title));
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  dialog->setNameFilters(DialogNameFilters(ToQt(form::kSettingsDialog.filter)));
  dialog->setDefaultSuffix(ToQt(form::kSettingsDialog.default_ext));
  return dialog;
}

}  // namespace

TDM::TDM(int processor_count, QWidget* dialog_parent)
    : processor_count_(processor_count), dialog_parent_(dialog_parent) {}

QFileDialog& TDM::jvdOpen() {
  if (!open_)
    open_ = SettingsDialog(dialog_parent_, form::kLoadSettingsTitle, QFileDialog::AcceptOpen);
  return *open_;
}

QFileDialog& TDM::jvdSave() {
  if (!save_)
    save_ = SettingsDialog(dialog_parent_, form::kSaveSettingsTitle, QFileDialog::AcceptSave);
  return *save_;
}

std::optional<std::string> TDM::Choose(QFileDialog& dialog, QString& last_name) {
  dialog.selectFile(last_name.isEmpty() ? ToQt(form::kSettingsOfferedFirst) : last_name);
  if (!RunDialog(dialog) || dialog.selectedFiles().isEmpty()) return std::nullopt;
  last_name = dialog.selectedFiles().front();
  return FromQt(last_name);
}

}  // namespace korvu::app
