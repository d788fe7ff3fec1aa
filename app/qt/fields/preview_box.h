#pragma once

#include <QBasicTimer>
#include <QFrame>
#include <QString>
#include <QTextLayout>
#include <algorithm>

namespace korvu::app {

// The encoder command line as the window shows it: read-only text wrapped to the box, which a user
// selects with the mouse or the caret keys (Shift with the arrows, Home and End), or whole with
// Ctrl+A, and copies. It keeps one laid-out line set and lays it out only when the text or the box
// changes; a text box with a document behind it laid the whole line out several times over on
// every keystroke.
class PreviewBox : public QFrame {
  Q_OBJECT

 public:
  explicit PreviewBox(QWidget* parent = nullptr);

  const QString& Text() const { return text_; }
  // A new text drops the selection; the same text keeps it.
  void SetText(const QString& text);

  QString SelectedText() const;
  int SelectionStart() const { return std::min(anchor_, position_); }
  int SelectionEnd() const { return std::max(anchor_, position_); }
  bool HasSelection() const { return anchor_ != position_; }
  void Select(int anchor, int position);
  void SelectAll() { Select(0, static_cast<int>(text_.size())); }
  void Copy() const;

  // The text's place in the box, for a position in the text and the other way round.
  QRect CharacterRect(int offset) const;
  int OffsetAt(QPoint point) const;
  int LineCount() const { return layout_.lineCount(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  QPointF Origin() const;
  void LayOut();
  void SelectWordAt(int offset);
  void OfferSelection() const;
  // Where a caret key takes the caret; -1 for any other key.
  int CaretTarget(const QKeyEvent& key, bool& selecting) const;
  int OnOtherLine(int step) const;
  void ShowCaret(bool shown);

  QString text_;
  QTextLayout layout_;
  int anchor_ = 0;
  int position_ = 0;
  bool dragging_ = false;
  QBasicTimer blink_;
  bool caret_shown_ = false;
};

}  // namespace korvu::app
