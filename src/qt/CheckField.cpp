#include "qt/CheckField.h"

#include <QMouseEvent>

namespace kelmor {

bool CheckField::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void CheckField::mouseReleaseEvent(QMouseEvent* e) {
    QCheckBox::mouseReleaseEvent(e);
    if (OnMouseUp) OnMouseUp();
}

} // namespace kelmor
