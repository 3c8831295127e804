// The three kinds of control the window needs beyond what Qt has ready-made:
// an input box with a per-character typing hook, a date picker that Tab leaves
// in one step, and a label that reports clicks.
#pragma once

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

#include <functional>

// A single-line input box that is one member of a control array. Every typed
// character, from a key press or from an input method's commit (dead keys and
// compose sequences arrive that way), is handed to the key-press hook, which
// may replace it before the box receives it. Pasted and dropped text does not
// pass through the hook. gotFocus() is emitted once each time the box takes the
// focus; for a mouse click only after the click has placed the cursor, so that
// a handler's selection is not undone by the click.
class InputBox : public QLineEdit {
    Q_OBJECT
public:
    // Receives the box's index and one UTF-16 code unit, which it may change.
    using KeyPressHook = std::function<void(qint16 index, char16_t& key_code)>;

    InputBox(qint16 index, QWidget* parent);

    qint16 index() const { return index_; }
    void setKeyPressHook(KeyPressHook hook) { key_press_hook_ = std::move(hook); }

signals:
    void gotFocus(qint16 index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The text with every code unit passed through the hook.
    QString hooked(const QString& typed) const;

    qint16 index_;
    KeyPressHook key_press_hook_;
    bool focus_by_mouse_pending_ = false;
};

// A date edit whose Tab and Shift+Tab move to the next or previous control
// instead of stepping through the day, month and year sections; the arrow keys
// (Ctrl+Left and Ctrl+Right between sections), typing and the calendar still
// edit the date.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    using QDateEdit::QDateEdit;

protected:
    bool event(QEvent* event) override;
};

// A label that emits clicked() when the left mouse button is pressed and
// released over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
