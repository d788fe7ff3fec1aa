#pragma once

#include <QCompleter>

class QFileSystemModel;
class QLineEdit;

namespace korvu::app {

// Suggests the existing paths that complete what is typed into `field`. The file-system model
// reads a folder on a thread of its own and only once asked, so each typed folder is read as the
// user reaches it, and the suggestions show when it has been read.
class PathCompleter : public QCompleter {
  Q_OBJECT

 public:
  explicit PathCompleter(QLineEdit& field);

 private:
  void ReadFolderOf(const QString& text);
  void Suggest();

  QLineEdit& field_;
  QFileSystemModel* model_;
};

}  // namespace korvu::app
