#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

namespace korvu::app {

// Ends the program right after the watched window's first paint has reached the screen (the frame
// is flushed within the same repaint, before the posted quit runs): the start-up benchmark's
// stopwatch, for the window and the bare window it is measured against.
class QuitAfterFirstPaint : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return false;
  }
};

}  // namespace korvu::app
