#pragma once

#include <QCheckBox>

#include "app/form/binding.h"
#include "job/values.h"

namespace korvu::app {

// A check box bound to a three-state check or to a flag. A click moves grayed and unchecked to
// checked, and checked to unchecked: only the program grays the box.
class CheckField : public QCheckBox {
  Q_OBJECT

 public:
  CheckField(job::CheckBox& state, const QString& caption, QWidget* parent = nullptr);
  CheckField(job::Flag& flag, const QString& caption, QWidget* parent = nullptr);

 protected:
  void nextCheckState() override;

 private:
  Qt::CheckState BoundState() const;
  void Show();

  job::CheckBox* state_ = nullptr;  // one of the two is bound
  job::Flag* flag_ = nullptr;
  form::Binding binding_;
};

}  // namespace korvu::app
