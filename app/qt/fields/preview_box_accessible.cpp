#include "app/qt/fields/preview_box_accessible.h"

#include <QAccessibleWidget>

#include "app/qt/fields/preview_box.h"

namespace korvu::app {
namespace {

class PreviewBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit PreviewBoxAccessible(PreviewBox* box)
      : QAccessibleWidget(box, QAccessible::EditableText), box_(box) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return box_->Text();
    return QAccessibleWidget::text(kind);
  }

  void selection(int index, int* start, int* end) const override {
    const bool some = index == 0 && selectionCount() == 1;
    *start = some ? box_->SelectionStart() : 0;
    *end = some ? box_->SelectionEnd() : 0;
  }
  int selectionCount() const override { return box_->HasSelection() ? 1 : 0; }
  void addSelection(int start, int end) override { box_->Select(start, end); }
  void removeSelection(int) override { box_->Select(0, 0); }
  void setSelection(int, int start, int end) override { box_->Select(start, end); }
  int cursorPosition() const override { return box_->SelectionEnd(); }
  void setCursorPosition(int position) override { box_->Select(position, position); }
  QString text(int start, int end) const override { return box_->Text().mid(start, end - start); }
  int characterCount() const override { return static_cast<int>(box_->Text().size()); }
  QRect characterRect(int offset) const override {
    const QRect inside = box_->CharacterRect(offset);
    return inside.isNull() ? inside : inside.translated(box_->mapToGlobal(QPoint(0, 0)));
  }
  int offsetAtPoint(const QPoint& point) const override {
    return box_->OffsetAt(box_->mapFromGlobal(point));
  }
  void scrollToSubstring(int, int) override {}  // all of the text is always in view
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

 private:
  PreviewBox* box_;
};

QAccessibleInterface* Make(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(PreviewBox::staticMetaObject.className())) return nullptr;
  return new PreviewBoxAccessible(static_cast<PreviewBox*>(object));
}

}  // namespace

void InstallPreviewBoxAccessible() {
  static const bool installed = (QAccessible::installFactory(Make), true);
  (void)installed;
}

}  // namespace korvu::app
