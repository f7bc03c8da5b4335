#include "qt/UpDownArrows.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

namespace kelmor {

namespace {
constexpr int FIRST_REPEAT_MS = 400;
constexpr int REPEAT_MS = 100;
} // namespace

UpDownArrows::UpDownArrows(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    Repeat.setSingleShot(true);
    connect(&Repeat, &QTimer::timeout, this, [this] {
        // A box opened by a step may have taken the button's release.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
            Stop();
            return;
        }
        Step();
    });
}

void UpDownArrows::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const int direction = i == 0 ? +1 : -1;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        if (Pressed == direction)
            button.state |= QStyle::State_Sunken;
        else
            button.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        if (Pressed == direction) arrow.rect.translate(1, 1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                               &arrow, &p, this);
    }
}

void UpDownArrows::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    Pressed = 2 * e->position().y() < height() ? +1 : -1;
    update();
    Step();
    if (Pressed != 0) Repeat.start(FIRST_REPEAT_MS);
}

void UpDownArrows::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) Stop();
}

void UpDownArrows::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange && !isEnabled()) Stop();
    QWidget::changeEvent(e);
}

void UpDownArrows::hideEvent(QHideEvent* e) {
    Stop();
    QWidget::hideEvent(e);
}

void UpDownArrows::Step() {
    if (Pressed == 0 || !OnStep) return;
    // The step commits and may run a nested event loop or hide this very
    // spinner; no repeat may fire in the middle of it.
    Repeat.stop();
    QPointer<UpDownArrows> self(this);
    OnStep(Pressed);
    if (!self) return;
    if (!isVisible() || !isEnabled())
        Stop();
    else if (Pressed != 0)
        Repeat.start(REPEAT_MS);
}

void UpDownArrows::Stop() {
    Repeat.stop();
    if (Pressed != 0) {
        Pressed = 0;
        update();
    }
}

} // namespace kelmor
