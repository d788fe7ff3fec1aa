#include "app/qt/run_dialog.h"

#include <QApplication>
#include <QDialog>

namespace korvu::app {

bool RunDialog(QDialog& dialog) {
  const bool accepted = dialog.exec() == QDialog::Accepted;
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  return accepted;
}

}  // namespace korvu::app
