#pragma once

#include <QFont>

namespace korvu::app {

// The window's typeface at `pixels` pixels. Debian's fonts-wine puts its Tahoma outside
// fontconfig's folders, so it is registered with Qt on first use when the system has none.
QFont WindowFont(int pixels);

}  // namespace korvu::app
