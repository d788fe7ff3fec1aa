#include "app/qt/error_box.h"

#include <QApplication>
#include <QMessageBox>

#include "app/form/main_form.h"
#include "app/qt/qt_text.h"
#include "job/error.h"

namespace korvu::app {

void ShowErrorBox(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, ToQt(form::kTitle), ToQt(job::ErrorBoxText(message)),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

}  // namespace korvu::app
