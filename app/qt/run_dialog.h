#pragma once

class QDialog;

namespace korvu::app {

// Runs `dialog` modally and tells whether it was accepted. Whatever popup it left open goes with
// it: the file dialog's suggestion list stays on screen when Return accepts the dialog while the
// list shows, and would take the next click and the keys typed before it.
bool RunDialog(QDialog& dialog);

}  // namespace korvu::app
