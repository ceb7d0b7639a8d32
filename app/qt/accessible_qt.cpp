// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What assistive technology is told about the window and its read-only boxes,
// where Qt's own accounts fall short:
//  - a top-level plain QWidget is a "filler" to Qt, so a screen reader would not
//    announce the window or its title when it opens; here it is a window (an
//    AT-SPI "frame") named by its title;
//  - Qt's line and text edits offer assistive technology the editing operations
//    even when read-only (and call a read-only line edit editable), so a tool
//    could write into a result box or the description; here the read-only boxes
//    offer their text for reading, moving the cursor and selecting only.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "app/qt/native.h"

namespace platform::qt {

namespace {

// A read-only box as assistive technology meets it: text to read, a cursor to
// move and a selection to make, and no editing. Each box type gives its text, its
// selection (start and end, equal for none) and a way to select.
class ReadOnlyText : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit ReadOnlyText(QWidget* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        state.multiLine = qobject_cast<const QPlainTextEdit*>(widget()) != nullptr;
        return state;
    }

    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? all() : QAccessibleWidget::text(type);
    }

    QString text(int start, int end) const override { return all().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(all().size()); }

    void selection(int index, int* start, int* end) const override {
        const auto [from, to] = selected();
        *start = index == 0 ? from : 0;
        *end = index == 0 ? to : 0;
    }
    int selectionCount() const override {
        const auto [from, to] = selected();
        return from == to ? 0 : 1;
    }
    void addSelection(int start, int end) override { select(start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            select(cursorPosition(), cursorPosition());
        }
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            select(start, end);
        }
    }
    void setCursorPosition(int position) override { select(position, position); }
    void scrollToSubstring(int start, int end) override {
        select(end, end);
        select(start, start);
    }
    QString attributes(int offset, int* start, int* end) const override {
        *start = offset;
        *end = offset;
        return {};
    }

  protected:
    virtual QString all() const = 0;
    virtual std::pair<int, int> selected() const = 0;
    // Puts the anchor at `start` and the cursor at `end`.
    virtual void select(int start, int end) = 0;
};

class ReadOnlyLine final : public ReadOnlyText {
  public:
    explicit ReadOnlyLine(QLineEdit* box) : ReadOnlyText(box), box_(box) {}

    int cursorPosition() const override { return box_->cursorPosition(); }
    int offsetAtPoint(const QPoint& point) const override {
        return box_->cursorPositionAt(box_->mapFromGlobal(point));
    }
    // A line edit does not tell where each character lies; the box's extents stand.
    QRect characterRect(int /*offset*/) const override { return {}; }

  private:
    QString all() const override { return box_->text(); }
    std::pair<int, int> selected() const override {
        const int at = box_->cursorPosition();
        return box_->hasSelectedText() ? std::pair(box_->selectionStart(), box_->selectionEnd())
                                       : std::pair(at, at);
    }
    void select(int start, int end) override {
        const int size = characterCount();
        start = std::clamp(start, 0, size);
        box_->setSelection(start, std::clamp(end, 0, size) - start);
    }

    QLineEdit* box_;
};

class ReadOnlyPlain final : public ReadOnlyText {
  public:
    explicit ReadOnlyPlain(QPlainTextEdit* box) : ReadOnlyText(box), box_(box) {}

    int cursorPosition() const override { return box_->textCursor().position(); }
    int offsetAtPoint(const QPoint& point) const override {
        return box_->cursorForPosition(box_->viewport()->mapFromGlobal(point)).position();
    }
    QRect characterRect(int offset) const override {
        QRect rect = box_->cursorRect(cursorAt(offset));
        const QRect next = box_->cursorRect(cursorAt(offset + 1));
        if (next.top() == rect.top() && next.left() > rect.left()) {
            rect.setRight(next.left() - 1);
        }
        return QRect(box_->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    // A line is a line as the box shows it, wrapped at its width.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        const QTextBlock block = box_->document()->findBlock(offset);
        const QTextLayout* layout = block.layout();
        if (boundary != QAccessible::LineBoundary || layout == nullptr) {
            return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
        }
        const QTextLine line = layout->lineForTextPosition(offset - block.position());
        if (!line.isValid()) {
            return QAccessibleTextInterface::textAtOffset(offset, boundary, start, end);
        }
        *start = block.position() + line.textStart();
        *end = *start + line.textLength();
        return text(*start, *end);
    }

  private:
    QString all() const override { return box_->toPlainText(); }
    std::pair<int, int> selected() const override {
        const QTextCursor cursor = box_->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
    void select(int start, int end) override {
        QTextCursor cursor = cursorAt(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        box_->setTextCursor(cursor);
    }
    QTextCursor cursorAt(int offset) const {
        QTextCursor cursor(box_->document());
        cursor.setPosition(std::clamp(offset, 0, characterCount()));
        return cursor;
    }

    QPlainTextEdit* box_;
};

// Asked before Qt's own factory, for every class of an object from the most
// derived; the boxes are read-only from the moment they are made.
QAccessibleInterface* accessibleFor(const QString& /*className*/, QObject* object) {
    if (object->metaObject() == &QWidget::staticMetaObject) {
        auto* widget = static_cast<QWidget*>(object);
        return widget->isWindow() ? new QAccessibleWidget(widget, QAccessible::Window) : nullptr;
    }
    if (auto* line = qobject_cast<QLineEdit*>(object); line != nullptr && line->isReadOnly()) {
        return new ReadOnlyLine(line);
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(object);
        plain != nullptr && plain->isReadOnly()) {
        return new ReadOnlyPlain(plain);
    }
    return nullptr;
}

}  // namespace

void useAccessibleInterfaces() {
    // Installing the same factory again changes nothing.
    QAccessible::installFactory(accessibleFor);
}

}  // namespace platform::qt
