#pragma once
#include <QLineEdit>
#include <functional>

namespace kelmor {

// The edit of a spinner-edit: takes any text (no validator), hands every
// typed character to the window's key handler first, steps its spinner with
// the arrow keys and reports leaving it.
class EditField : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;

    // A typed character (Enter as 13); true when the handler consumed it.
    std::function<bool(char)> OnKey;
    // An arrow-key step, +1 up or -1 down.
    std::function<void(int)> OnStep;
    // The focus moved to another control of the same window.
    std::function<void()> OnExit;
    // True for keys that belong to a menu shortcut rather than to the edit.
    std::function<bool(const QKeyEvent&)> IsMenuShortcut;

  protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

// The character a key event types, with Return and keypad Enter as 13, or 0.
char TypedChar(const QKeyEvent& e);

} // namespace kelmor
