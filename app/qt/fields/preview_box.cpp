#include "app/qt/fields/preview_box.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextOption>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

#include "app/qt/fields/preview_box_accessible.h"

namespace korvu::app {
namespace {

// Room between the frame and the text, as a text box leaves it.
constexpr int kMargin = 4;

}  // namespace

PreviewBox::PreviewBox(QWidget* parent) : QFrame(parent) {
  InstallPreviewBoxAccessible();
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::IBeamCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout_.setTextOption(option);
  layout_.setCacheEnabled(true);
}

void PreviewBox::SetText(const QString& text) {
  if (text == text_) return;
  const QString old = std::exchange(text_, text);
  anchor_ = position_ = 0;
  LayOut();
  update();
  if (QAccessible::isActive()) {
    QAccessibleTextUpdateEvent replaced(this, 0, old, text_);
    QAccessible::updateAccessibility(&replaced);
  }
}

QString PreviewBox::SelectedText() const {
  return text_.mid(SelectionStart(), SelectionEnd() - SelectionStart());
}

void PreviewBox::Select(int anchor, int position) {
  const int last = static_cast<int>(text_.size());
  anchor_ = std::clamp(anchor, 0, last);
  position_ = std::clamp(position, 0, last);
  if (hasFocus()) return ShowCaret(true);  // a caret that moves is seen at once
  update();
}

// The caret blinks while the box has the focus, as a text field's does.
void PreviewBox::ShowCaret(bool shown) {
  caret_shown_ = shown;
  const int flash = QApplication::cursorFlashTime();
  if (shown && flash > 0)
    blink_.start(flash / 2, this);
  else if (!shown)
    blink_.stop();
  update();
}

void PreviewBox::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) return QFrame::timerEvent(event);
  caret_shown_ = !caret_shown_;
  update();
}

void PreviewBox::Copy() const {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

// Where a drag ends, the selection is offered to other programs as the desktop's primary one.
void PreviewBox::OfferSelection() const {
  QClipboard* clipboard = QApplication::clipboard();
  if (clipboard->supportsSelection() && HasSelection())
    clipboard->setText(SelectedText(), QClipboard::Selection);
}

QPointF PreviewBox::Origin() const {
  return contentsRect().topLeft() + QPointF(kMargin, kMargin);
}

void PreviewBox::LayOut() {
  layout_.setText(text_);
  layout_.setFont(font());
  const qreal width = std::max(0, contentsRect().width() - 2 * kMargin);
  layout_.beginLayout();
  qreal top = 0;
  for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
    line.setLineWidth(width);
    line.setPosition({0, top});
    top += line.height();
  }
  layout_.endLayout();
}

QRect PreviewBox::CharacterRect(int offset) const {
  const QTextLine line = layout_.lineForTextPosition(offset);
  if (!line.isValid()) return {};
  const qreal left = line.cursorToX(offset);
  const qreal right = line.cursorToX(offset + 1);
  return QRectF(Origin() + QPointF(left, line.y()), QSizeF(right - left, line.height()))
      .toAlignedRect();
}

int PreviewBox::OffsetAt(QPoint point) const {
  const QPointF at = QPointF(point) - Origin();
  const int lines = layout_.lineCount();
  for (int i = 0; i < lines; ++i) {
    const QTextLine line = layout_.lineAt(i);
    if (at.y() < line.y() + line.height() || i == lines - 1) return line.xToCursor(at.x());
  }
  return 0;
}

void PreviewBox::SelectWordAt(int offset) {
  int start = offset;
  int end = offset;
  const auto blank = [this](int i) { return text_.at(i).isSpace(); };
  while (start > 0 && !blank(start - 1)) --start;
  while (end < text_.size() && !blank(end)) ++end;
  Select(start, end);
}

void PreviewBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The box is read-only text like the fields', in the same panel.
  QStyleOptionFrame panel;
  panel.initFrom(this);
  panel.lineWidth = frameWidth();
  panel.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
  painter.fillRect(rect(), palette().brush(QPalette::Window));
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
  painter.setPen(palette().color(QPalette::Text));
  QList<QTextLayout::FormatRange> selection;
  if (HasSelection()) {
    // Kept while the focus is elsewhere, in the colours of an unfocused box.
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextLayout::FormatRange range;
    range.start = SelectionStart();
    range.length = SelectionEnd() - SelectionStart();
    range.format.setBackground(palette().brush(group, QPalette::Highlight));
    range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
    selection.append(range);
  }
  painter.setClipRect(contentsRect());
  layout_.draw(&painter, Origin(), selection);
  if (caret_shown_ && hasFocus()) layout_.drawCursor(&painter, Origin(), position_);
}

void PreviewBox::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  LayOut();
}

void PreviewBox::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) LayOut();
}

int PreviewBox::OnOtherLine(int step) const {
  const QTextLine line = layout_.lineForTextPosition(position_);
  if (!line.isValid()) return position_;
  // lineAt() gives a valid line for a negative number too, whose use reads and writes outside the
  // layout's memory (the heap of a build without sanitizers broke at the next layout).
  const int other = line.lineNumber() + step;
  if (other < 0 || other >= layout_.lineCount()) return position_;
  return layout_.lineAt(other).xToCursor(line.cursorToX(position_));
}

int PreviewBox::CaretTarget(const QKeyEvent& key, bool& selecting) const {
  using Key = QKeySequence::StandardKey;
  const QTextLine line = layout_.lineForTextPosition(position_);
  const int line_start = line.isValid() ? line.textStart() : 0;
  int line_end = line.isValid() ? line.textStart() + line.textLength() : 0;
  // A wrapped line ends before the blank it broke at, which would put the caret on the next line.
  if (line.isValid() && line.lineNumber() + 1 < layout_.lineCount() && line_end > 0 &&
      text_.at(line_end - 1).isSpace())
    --line_end;
  const struct {
    Key move, select;
    int to;
  } keys[] = {
      {Key::MoveToNextChar, Key::SelectNextChar, layout_.nextCursorPosition(position_)},
      {Key::MoveToPreviousChar, Key::SelectPreviousChar, layout_.previousCursorPosition(position_)},
      {Key::MoveToStartOfLine, Key::SelectStartOfLine, line_start},
      {Key::MoveToEndOfLine, Key::SelectEndOfLine, line_end},
      {Key::MoveToNextLine, Key::SelectNextLine, OnOtherLine(1)},
      {Key::MoveToPreviousLine, Key::SelectPreviousLine, OnOtherLine(-1)},
      {Key::MoveToStartOfDocument, Key::SelectStartOfDocument, 0},
      {Key::MoveToEndOfDocument, Key::SelectEndOfDocument, static_cast<int>(text_.size())},
  };
  for (const auto& entry : keys) {
    selecting = key.matches(entry.select);
    if (selecting || key.matches(entry.move)) return entry.to;
  }
  return -1;
}

void PreviewBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::SelectAll)) return SelectAll();
  if (event->matches(QKeySequence::Copy)) return Copy();
  bool selecting = false;
  if (const int to = CaretTarget(*event, selecting); to >= 0)
    return Select(selecting ? anchor_ : to, to);
  QFrame::keyPressEvent(event);
}

void PreviewBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QFrame::mousePressEvent(event);
  const int offset = OffsetAt(event->position().toPoint());
  Select(event->modifiers() & Qt::ShiftModifier ? anchor_ : offset, offset);
  dragging_ = true;
}

void PreviewBox::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) Select(anchor_, OffsetAt(event->position().toPoint()));
}

void PreviewBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return QFrame::mouseReleaseEvent(event);
  dragging_ = false;
  OfferSelection();
}

void PreviewBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || text_.isEmpty())
    return QFrame::mouseDoubleClickEvent(event);
  SelectWordAt(std::min(OffsetAt(event->position().toPoint()), static_cast<int>(text_.size()) - 1));
  OfferSelection();
}

void PreviewBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("&Copy"), QKeySequence::Copy, this, [this] { Copy(); });
  copy->setEnabled(HasSelection());
  QAction* all =
      menu.addAction(tr("Select All"), QKeySequence::SelectAll, this, [this] { SelectAll(); });
  all->setEnabled(!text_.isEmpty());
  menu.exec(event->globalPos());
}

void PreviewBox::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  ShowCaret(true);
}

void PreviewBox::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  ShowCaret(false);
}

}  // namespace korvu::app
