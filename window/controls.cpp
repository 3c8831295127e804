#include "controls.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

InputBox::InputBox(qint16 index, QWidget* parent) : QLineEdit(parent), index_(index) {}

QString InputBox::hooked(const QString& typed) const
{
    QString result = typed;
    if (!key_press_hook_) return result;
    for (QChar& c : result) {
        char16_t key_code = c.unicode();
        key_press_hook_(index_, key_code);
        c = QChar(key_code);
    }
    return result;
}

void InputBox::keyPressEvent(QKeyEvent* event)
{
    const QString text = hooked(event->text());
    if (text == event->text()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The event's text cannot be changed in place: hand the box a copy that
    // differs only in its text. Key code and modifiers stay, so shortcuts match.
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                       event->nativeVirtualKey(), event->nativeModifiers(), text,
                       event->isAutoRepeat(), event->count(), event->device());
    QLineEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void InputBox::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = hooked(event->commitString());
    if (commit == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void InputBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
        // The press that gave the focus is still to come and will place the
        // cursor; report the entry after it.
        focus_by_mouse_pending_ = true;
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        // The focus comes back to the box it never left within the window
        // (after switching windows, or closing a context menu): not an entry.
        break;
    default:
        emit gotFocus(index_);
        break;
    }
}

void InputBox::focusOutEvent(QFocusEvent* event)
{
    focus_by_mouse_pending_ = false;
    QLineEdit::focusOutEvent(event);
}

void InputBox::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    if (focus_by_mouse_pending_) {
        focus_by_mouse_pending_ = false;
        emit gotFocus(index_);
    }
}

bool DatePicker::event(QEvent* event)
{
    // QDateTimeEdit spends Tab and Shift+Tab on moving between its sections
    // (in its focusNextPrevChild, which Ctrl+Left and Ctrl+Right use too);
    // take them first and move straight to the next control.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            const bool next = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(next);
            return true;
        }
    }
    return QDateEdit::event(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
