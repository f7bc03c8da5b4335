#include "qt/EditField.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace kelmor {

char TypedChar(const QKeyEvent& e) {
    if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) return '\r';
    const QString text = e.text();
    if (text.size() != 1) return 0;
    const char16_t c = text.at(0).unicode();
    return c < 0x80 ? static_cast<char>(c) : '\0';
}

bool EditField::event(QEvent* e) {
    // The edit's own undo (Ctrl+Z) and the like must not hide the menu's shortcuts.
    if (e->type() == QEvent::ShortcutOverride && IsMenuShortcut &&
        IsMenuShortcut(*static_cast<QKeyEvent*>(e))) {
        e->ignore();
        return true;
    }
    return QLineEdit::event(e);
}

void EditField::keyPressEvent(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) && OnStep) {
        OnStep(e->key() == Qt::Key_Up ? +1 : -1);
        e->accept();
        return;
    }
    const char c = TypedChar(*e);
    if (c != 0 && OnKey && OnKey(c)) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void EditField::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Only a move to another control of this window counts as leaving the
    // edit; a message box, a menu or another application taking over does not.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (OnExit) OnExit();
}

} // namespace kelmor
