#pragma once

namespace korvu::app {

// Makes screen readers hear a list field by the name its label gives it (Qt names a combo box by
// its current text on Unix) with its text as its value, and a spin field as a spin button with its
// value and limits; installed once, by the first such field made.
void InstallFieldAccessibles();

}  // namespace korvu::app
