#include "qt/CheckField.h"

#include <QMouseEvent>

namespace kelmor {

void CheckField::mouseReleaseEvent(QMouseEvent* e) {
    QCheckBox::mouseReleaseEvent(e);
    if (OnMouseUp) OnMouseUp();
}

} // namespace kelmor
