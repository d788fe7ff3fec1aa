#include "app/qt/wait_without_input.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace korvu::app {

namespace {

// Swallows every key and mouse event while it is installed on the application.
class InputDrop : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

int WaitWithoutInput(const std::function<int()>& work) {
  InputDrop drop;
  QCoreApplication::instance()->installEventFilter(&drop);
  QEventLoop loop;
  int result = -1;
  std::thread worker([&] {
    result = work();
    // Queued, so that it also ends a loop that had not started yet.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  QCoreApplication::instance()->removeEventFilter(&drop);
  return result;
}

}  // namespace korvu::app
