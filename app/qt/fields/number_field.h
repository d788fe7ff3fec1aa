#pragma once

#include <QLineEdit>
#include <string>

#include "app/form/binding.h"
#include "job/number_edit.h"
#include "job/values.h"

namespace korvu::app {

// A number text, right-aligned. While the user types, the text stays exactly as typed (007, -5)
// and only digits and one leading sign get in; it is validated into its canonical form when the
// field loses the focus, right after a paste or a drop, when the program writes the value, and
// once at creation. Escape returns to the last validated text and selects it all.
class NumberField : public QLineEdit {
  Q_OBJECT

 public:
  explicit NumberField(job::NumberText& value, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool Accepts(const QKeyEvent& event) const;
  void ShowValue();
  void TakeText(const QString& text);
  void Validate();
  void Revert();

  job::NumberText& value_;
  job::NumberEdit edit_;
  form::Binding binding_;
};

}  // namespace korvu::app
