#include "qt/FrameBox.h"

#include <QPainter>

namespace kelmor {

void FrameBox::paintEvent(QPaintEvent* /*e*/) {
    QPainter p(this);
    const QFontMetrics fm(font());
    const QString caption = title();
    const QRect titleRect(TITLE_LEFT, 0, fm.horizontalAdvance(caption) + 2 * TITLE_PADDING,
                          fm.height());
    // The frame line stops at the title.
    QRegion clip(rect());
    if (!caption.isEmpty()) clip -= QRegion(titleRect);
    p.setClipRegion(clip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.5, FRAME_TOP + 0.5, width() - 1.0, height() - FRAME_TOP - 1.0), 2,
                      2);
    if (caption.isEmpty()) return;
    p.setClipping(false);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(titleRect.adjusted(TITLE_PADDING, 0, -TITLE_PADDING, 0),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
}

} // namespace kelmor
