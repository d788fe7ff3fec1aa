#include "app/qt/fields/field_accessible.h"

#include <QAccessibleWidget>
#include <QLineEdit>

#include "app/qt/fields/list_field.h"
#include "app/qt/fields/spin_field.h"

namespace korvu::app {
namespace {

class ListFieldAccessible : public QAccessibleWidget {
 public:
  explicit ListFieldAccessible(ListField* list)
      : QAccessibleWidget(list, QAccessible::ComboBox), list_(list) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return list_->accessibleName();
    if (kind == QAccessible::Value) return list_->currentText();
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = list_->isEditable();
    state.expandable = true;
    return state;
  }

 private:
  ListField* list_;
};

class SpinFieldAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit SpinFieldAccessible(SpinField* spin)
      : QAccessibleWidget(spin, QAccessible::SpinBox), spin_(spin) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return spin_->text();
    return QAccessibleWidget::text(kind);
  }

  QVariant currentValue() const override { return spin_->Bounded().Value(); }
  void setCurrentValue(const QVariant& value) override { spin_->TakeValue(value.toInt()); }
  QVariant maximumValue() const override { return spin_->Bounded().Max(); }
  QVariant minimumValue() const override { return spin_->Bounded().Min(); }
  QVariant minimumStepSize() const override { return 1; }

 private:
  SpinField* spin_;
};

QAccessibleInterface* Make(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String(ListField::staticMetaObject.className()))
    return new ListFieldAccessible(static_cast<ListField*>(object));
  if (class_name == QLatin1String(SpinField::staticMetaObject.className()))
    return new SpinFieldAccessible(static_cast<SpinField*>(object));
  return nullptr;
}

}  // namespace

void InstallFieldAccessibles() {
  static const bool installed = (QAccessible::installFactory(Make), true);
  (void)installed;
}

}  // namespace korvu::app
