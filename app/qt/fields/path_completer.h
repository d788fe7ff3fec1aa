#pragma once

#include <QCompleter>

class QFileSystemModel;
class QLineEdit;

namespace korvu::app {

// Suggests the existing paths that complete what is typed into `field`. The file-system model
// reads a folder on a thread of its own and only once asked, so each typed folder is read as the
// user reaches it, and the suggestions show when it has been read. The list opens only when it has
// something to offer that the text does not already name. A click outside the list closes it and
// acts where it was made, at once.
class PathCompleter : public QCompleter {
  Q_OBJECT

 public:
  explicit PathCompleter(QLineEdit& field);

 protected:
  void customEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadFolderOf(const QString& text);
  void Suggest();
  // Whether the suggestions hold nothing the text does not already name.
  bool NothingToComplete() const;

  QLineEdit& field_;
  QFileSystemModel* model_;
  QWidget* list_ = nullptr;  // the suggestions' popup
  bool edit_pending_ = false;
};

}  // namespace korvu::app
