#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>

#include "app/main_form_layout.h"
#include "job/error.h"

namespace korvu::app {

void ShowErrorBox(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(layout::kTitle),
                  QString::fromStdString(job::ErrorBoxText(message)), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace korvu::app
