#pragma once

namespace korvu::app {

// Makes screen readers see a preview box as read-only text that they can read and select in;
// installed once, by the first box made.
void InstallPreviewBoxAccessible();

}  // namespace korvu::app
