#include "app/qt/wait_without_input.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace korvu::app {

int WaitWithoutInput(const std::function<int()>& work) {
  QEventLoop loop;
  int result = -1;
  std::thread worker([&] {
    result = work();
    // Queued, so that it also ends a loop that had not started yet.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  return result;
}

}  // namespace korvu::app
