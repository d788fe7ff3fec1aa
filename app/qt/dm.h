#pragma once

#include <QFileDialog>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/form/main_form_view.h"

namespace korvu::app {

// The data module: the processor count read once at start-up (what jvCIEx hands out) and the two
// settings-file dialogs, kept for the whole run so that each offers the file last confirmed in it
// and opens where it was left. Qt's own dialogs, not the desktop's, so that tests can drive them;
// each is built when first shown, which keeps its cost out of the program's start.
class TDM : public form::DataModule {
 public:
  TDM(int processor_count, QWidget* dialog_parent);

  int ProcessorCount() const override { return processor_count_; }

  QFileDialog& jvdOpen();
  QFileDialog& jvdSave();

  // Shows "Load settings" (the file must exist) or "Save settings" (replacing a file asks first)
  // and returns the full name confirmed; nothing when the user cancels. A cancelled dialog offers
  // the same name next time.
  std::optional<std::string> ChooseLoad() override { return Choose(jvdOpen(), open_name_); }
  std::optional<std::string> ChooseSave() override { return Choose(jvdSave(), save_name_); }

 private:
  static std::optional<std::string> Choose(QFileDialog& dialog, QString& last_name);

  int processor_count_;
  QWidget* dialog_parent_;
  std::unique_ptr<QFileDialog> open_;
  std::unique_ptr<QFileDialog> save_;
  QString open_name_;
  QString save_name_;
};

}  // namespace korvu::app
