#include "app/error_box.h"

#include <QApplication>
#include <QMessageBox>

#include "job/error.h"

namespace korvu::app {

void ShowErrorBox(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                  QString::fromStdString(job::ErrorBoxText(message)), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace korvu::app
