#include "app/qt/error_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "app/form/window_description.h"
#include "app/qt/qt_text.h"
#include "job/error.h"

namespace korvu::app {
namespace {

// Room for the caption beside the title bar's icon and buttons, which the box's own sizing, made
// for the text alone, leaves out.
constexpr int kTitleBarExtra = 120;

void MakeRoomForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

void ShowErrorBox(const std::string& message, QWidget* owner) {
  QMessageBox box(QMessageBox::Critical, ToQt(form::kTitle), ToQt(job::ErrorBoxText(message)),
                  QMessageBox::Ok, owner != nullptr ? owner : QApplication::activeWindow());
  MakeRoomForCaption(box);
  box.exec();
}

}  // namespace korvu::app
