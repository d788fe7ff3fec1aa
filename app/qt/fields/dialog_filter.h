#pragma once

#include <QString>
#include <QStringList>

namespace korvu::app {

// A filter of bar-separated description and pattern pairs ("Videos|*.avi;*.mkv|All files|*.*")
// as Qt's name filters ("Videos (*.avi *.mkv)"). A description that already ends with its own
// patterns in parentheses does not get them twice. "*.*" becomes "*", since on POSIX it would
// miss every name without a dot. An empty filter gives form::kAllFilesFilter's.
QStringList DialogNameFilters(const QString& filter);

}  // namespace korvu::app
