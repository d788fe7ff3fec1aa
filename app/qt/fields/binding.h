#pragma once

#include <QObject>

#include "job/values.h"

namespace korvu::app {

// How every field follows its job value: `show` puts the value on screen now and after each of
// its changes, and the subscription ends when the field goes, since the job outlives the window.
// The user's edits go the other way, each through Guarded. Showing keeps the field's own signals
// (a program write is announced like any change of the text); what it would echo back is the
// value's own text, which every field's taking of an edit passes over.
template <typename Field>
void Follow(Field& field, job::Observable& value, void (Field::*show)()) {
  (field.*show)();
  const auto subscription = value.OnChange([&field, show] { (field.*show)(); });
  QObject::connect(&field, &QObject::destroyed,
                   [&value, subscription] { value.Unsubscribe(subscription); });
}

}  // namespace korvu::app
