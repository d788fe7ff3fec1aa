#pragma once

#include <QKeyEvent>

namespace korvu::app {

// Whether a key is a shortcut (Ctrl+V, Alt+Down) rather than a character typed into a field.
inline bool IsShortcut(const QKeyEvent& event) {
  return (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

}  // namespace korvu::app
