#pragma once

#include <QIcon>
#include <QLineEdit>
#include <QString>
#include <string>
#include <string_view>

#include "app/form/binding.h"
#include "app/form/window_description.h"
#include "job/file_name_edit.h"
#include "job/path_rules.h"
#include "job/values.h"

class QCompleter;
class QFileDialog;
class QToolButton;

namespace korvu::app {

// A path text: one line of any characters, kept exactly as typed (UTF-8), with a browse button
// inside its right end. Every change of the text, whatever its cause, goes into the bound value,
// and every change of the value shows here. A line break that a paste or a drop brings in cuts the
// text just before it.
class FileNameField : public QLineEdit {
  Q_OBJECT

 public:
  FileNameField(job::TextValue& value, const job::PathRules& rules, QWidget* parent = nullptr);

  // What the browse dialog offers; an empty filter means "All files (*.*)|*.*".
  void SetDialog(const form::FileDialog& dialog) { dialog_data_ = dialog; }
  void SetPicture(const QIcon& icon);  // its Disabled mode shows while the field is disabled

  // The file name of the text and its writing (job::FileNameEdit).
  std::string FileName() const { return edit_.FileName(); }
  void SetFileName(std::string_view name) { edit_.SetFileName(name); }

  QToolButton* BrowseButton() const { return browse_; }
  // The suggestions of existing paths, made when the field first takes the focus.
  QCompleter* Suggestions() const { return suggestions_; }

  // The browse dialog, as the button and Alt+Down run it: it starts in the folder of the text's
  // file name (or where the previous use left it), and a confirmed choice becomes the text.
  void Browse();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ShowValue();
  void TakeText(const QString& text);
  QFileDialog& Dialog();
  void PrepareDialog(QFileDialog& dialog);

  job::TextValue& value_;
  job::FileNameEdit edit_;
  QToolButton* browse_;
  QFileDialog* dialog_ = nullptr;  // made on first use, lives as long as the field
  QCompleter* suggestions_ = nullptr;
  form::FileDialog dialog_data_;
  form::Binding binding_;
};

}  // namespace korvu::app
