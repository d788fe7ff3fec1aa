#pragma once

#include <QObject>
#include <QSignalBlocker>

#include "job/values.h"

namespace korvu::app {

// How every field follows its job value: `show` puts the value on screen now and after each of
// its changes, with the field's signals blocked so that showing fires nothing back into the job;
// the subscription ends when the field goes, since the job outlives the window. The user's edits
// go the other way, each through Guarded.
template <typename Field>
void Follow(Field& field, job::Observable& value, void (Field::*show)()) {
  const QSignalBlocker quiet(&field);
  (field.*show)();
  const auto subscription = value.OnChange([&field, show] {
    const QSignalBlocker quiet_again(&field);
    (field.*show)();
  });
  QObject::connect(&field, &QObject::destroyed,
                   [&value, subscription] { value.Unsubscribe(subscription); });
}

}  // namespace korvu::app
