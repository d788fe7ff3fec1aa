#pragma once

#include <QIcon>
#include <QString>

namespace korvu::app {

// The picture `name` from the resource folder :/pictures as an icon:
//  - Normal mode: <name>.png;
//  - Disabled mode: <name>-gray.png, the hand-made grayed twin, when there is one (otherwise Qt
//    derives one);
//  - further sizes <name>-32.png, <name>-48.png and <name>-256.png where they exist (the window
//    icon), so each place takes the nearest size instead of scaling one;
//  - on a screen of twice the density, Qt takes <name>@2x.png and <name>-gray@2x.png, the same
//    pixels doubled, so the small pictures stay crisp.
// A name without a picture gives a null icon.
QIcon PictureIcon(const QString& name);

}  // namespace korvu::app
