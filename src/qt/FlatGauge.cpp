#include "qt/FlatGauge.h"

#include <QPainter>

namespace kelmor {

void FlatGauge::SetBarColour(const QColor& colour) {
    if (colour == Bar) return;
    Bar = colour;
    update();
}

void FlatGauge::paintEvent(QPaintEvent* /*e*/) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, Qt::white);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect inner = r.adjusted(1, 1, -1, -1);
    const int span = maximum() - minimum();
    if (span > 0 && value() > minimum()) {
        const long long filled = (long long)inner.width() * (value() - minimum()) / span;
        p.fillRect(QRect(inner.left(), inner.top(), static_cast<int>(filled), inner.height()), Bar);
    }
    if (isTextVisible()) {
        p.setPen(Qt::black);
        p.drawText(inner, Qt::AlignCenter, text());
    }
}

} // namespace kelmor
