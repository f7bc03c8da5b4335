#include "qt/CurveChartWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
const QColor CURVE(0, 0, 128);
const QColor GRID(214, 214, 214);
const QColor LIVE(255, 0, 0);
const QColor LIME(0, 255, 0);
// How near the pointer must come to a point to take it, in pixels.
constexpr double REACH = 9;
} // namespace

QRectF CurvePlotArea(const QRectF& area, const QFontMetricsF& fm) {
    const double line = fm.height();
    // Room for the advance numbers on the left, the speeds and title below.
    const double left = area.left() + fm.horizontalAdvance(QStringLiteral("00")) + line * 0.6;
    const double top = area.top() + line * 1.2;
    const double right = area.right() - fm.horizontalAdvance(QStringLiteral("00000")) / 2;
    const double bottom = area.bottom() - line * 2.1;
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

void PaintCurveChart(QPainter& painter, const QRectF& area, const CurveChart& chart,
                     const QString& rpmLabel, const QString& advanceLabel) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetricsF fm(painter.font());
    const double line = fm.height();
    const QRectF plot = CurvePlotArea(area, fm);

    painter.fillRect(plot, Qt::white);
    painter.setPen(QPen(GRID, 0));
    painter.setBrush(Qt::NoBrush);
    const double w = plot.width(), h = plot.height();
    for (int a = 0; a <= chart.AdvanceMax(); a += chart.AdvanceStep()) {
        const double y = chart.Y(a, plot.top(), h);
        painter.setPen(QPen(GRID, 0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        const QString text = QString::number(a);
        painter.drawText(QRectF(area.left(), y - line / 2, plot.left() - area.left() - 4, line),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
    // On a narrow chart only every second (third...) speed is written, so
    // that the numbers keep apart.
    const double pitch = chart.X(chart.RpmStep(), plot.left(), w) - chart.X(0, plot.left(), w);
    const double widest = fm.horizontalAdvance(QString::number(chart.RpmMax())) + 3;
    const int every = pitch > 0 ? std::max(1, static_cast<int>(std::ceil(widest / pitch))) : 1;
    for (int r = 0, k = 0; r <= chart.RpmMax(); r += chart.RpmStep(), ++k) {
        const double x = chart.X(r, plot.left(), w);
        painter.setPen(QPen(GRID, 0));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        if (k % every != 0) continue;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 40, plot.bottom() + 2, 80, line),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(r));
    }
    painter.setPen(QPen(QColor(128, 128, 128), 0));
    painter.drawRect(plot);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line),
                     Qt::AlignLeft | Qt::AlignTop, advanceLabel);
    painter.drawText(QRectF(plot.left(), plot.bottom() + line + 2, plot.width(), line),
                     Qt::AlignHCenter | Qt::AlignTop, rpmLabel);

    // The rev limiter, where it lies on the axis.
    if (chart.LimiterRpm() > 0 && chart.LimiterRpm() <= chart.RpmMax()) {
        const double x = chart.X(chart.LimiterRpm(), plot.left(), w);
        painter.setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }

    // The curve of the points in use.
    const int count = chart.PointCount();
    auto at = [&](CurveChart::Point p) {
        return QPointF(chart.X(p.Rpm, plot.left(), w), chart.Y(p.Advance, plot.top(), h));
    };
    if (count > 0) {
        QPainterPath path(at(chart.PointAt(0)));
        for (int k = 1; k < count; ++k)
            path.lineTo(at(chart.PointAt(k)));
        painter.setPen(QPen(CURVE, 2));
        painter.drawPath(path);
        painter.setBrush(CURVE);
        painter.setPen(Qt::NoPen);
        for (int k = 0; k < count; ++k)
            painter.drawEllipse(at(chart.PointAt(k)), 2.5, 2.5);
    }
    if (chart.ActivePoint() >= 0) {
        painter.setBrush(LIME);
        painter.setPen(QPen(QColor(0, 110, 0), 1.2));
        painter.drawEllipse(at(chart.PointAt(chart.ActivePoint())), 6, 6);
    }
    if (chart.Selected() >= 0) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(CURVE, 1.5));
        painter.drawEllipse(at(chart.PointAt(chart.Selected())), 8.5, 8.5);
    }

    // The live point and its trail, older samples fainter.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < chart.TrailCount(); ++i) {
        uint32_t age = 0;
        const CurveChart::Point p = chart.TrailAt(i, age);
        const double fresh =
            1.0 - std::min<double>(age, CurveChart::TRAIL_TICKS) / (CurveChart::TRAIL_TICKS + 1.0);
        QColor c = LIVE;
        c.setAlphaF(static_cast<float>(0.15 + 0.55 * fresh));
        painter.setBrush(c);
        painter.drawEllipse(at(p), 2.5 + 1.5 * fresh, 2.5 + 1.5 * fresh);
    }
    if (chart.LiveShown()) {
        painter.setBrush(LIVE);
        painter.setPen(QPen(Qt::black, 1.2));
        painter.drawEllipse(at(chart.Live()), 5, 5);
    }
    painter.restore();
}

CurveChartWidget::CurveChartWidget(const CurveChart& chart, const WindowModel& model,
                                   QWidget* parent)
    : QWidget(parent), Chart(chart), Model(model) {
    // Whatever lies outside the plot is the window's own colour, white in the paper look.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QString CurveChartWidget::RpmLabel() const {
    return QString::fromStdString(Model[ControlId::LabelRpm1].Caption);
}

QString CurveChartWidget::AdvanceLabel() const {
    return QString::fromStdString(Model[ControlId::LabelAdvance1].Caption);
}

void CurveChartWidget::SetEditor(TFormHlav* form) {
    Editor = form;
    setFocusPolicy(form != nullptr ? Qt::ClickFocus : Qt::NoFocus);
}

QRectF CurveChartWidget::Plot() const {
    return CurvePlotArea(QRectF(rect()), QFontMetricsF(font()));
}

QPointF CurveChartWidget::PositionOf(int rpm, int advance) const {
    const QRectF plot = Plot();
    return QPointF(Chart.X(rpm, plot.left(), plot.width()),
                   Chart.Y(advance, plot.top(), plot.height()));
}

QPointF CurveChartWidget::PointPosition(int point) const {
    const CurveChart::Point p = Chart.PointAt(point);
    return PositionOf(p.Rpm, p.Advance);
}

int CurveChartWidget::PointAt(const QPointF& pos) const {
    int nearest = -1;
    double best = REACH * REACH;
    for (int k = 0; k < Chart.PointCount(); ++k) {
        const QPointF d = PointPosition(k) - pos;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= best) {
            best = distance;
            nearest = k;
        }
    }
    return nearest;
}

void CurveChartWidget::mousePressEvent(QMouseEvent* e) {
    if (Editor == nullptr || e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    Editor->CurvePointPress(PointAt(e->position()));
}

void CurveChartWidget::mouseMoveEvent(QMouseEvent* e) {
    if (Editor == nullptr) return QWidget::mouseMoveEvent(e);
    if (Editor->CurvePointDragging()) {
        const QRectF plot = Plot();
        Editor->CurvePointDrag(Chart.RpmAt(e->position().x(), plot.left(), plot.width()),
                               Chart.AdvanceAt(e->position().y(), plot.top(), plot.height()));
    } else {
        setCursor(PointAt(e->position()) >= 0 ? Qt::OpenHandCursor : Qt::ArrowCursor);
    }
}

void CurveChartWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (Editor == nullptr || e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
    Editor->CurvePointRelease();
}

void CurveChartWidget::keyPressEvent(QKeyEvent* e) {
    if (Editor == nullptr) return QWidget::keyPressEvent(e);
    const int point = Chart.Selected();
    int rpmSteps = 0, degrees = 0;
    switch (e->key()) {
    case Qt::Key_Escape:
        Editor->CurvePointCancel();
        return;
    case Qt::Key_Up:
        degrees = 1;
        break;
    case Qt::Key_Down:
        degrees = -1;
        break;
    case Qt::Key_Right:
        rpmSteps = 1;
        break;
    case Qt::Key_Left:
        rpmSteps = -1;
        break;
    default:
        return QWidget::keyPressEvent(e);
    }
    if (point >= 0) Editor->CurvePointStep(point, rpmSteps, degrees);
}

void CurveChartWidget::focusOutEvent(QFocusEvent* e) {
    // A box or another window taking the focus ends a drag where it was.
    if (Editor != nullptr) Editor->CurvePointCancel();
    QWidget::focusOutEvent(e);
}

void CurveChartWidget::paintEvent(QPaintEvent* /*e*/) {
    ++PaintCount;
    QPainter painter(this);
    painter.setFont(font());
    PaintCurveChart(painter, QRectF(rect()), Chart, RpmLabel(), AdvanceLabel());
}

} // namespace kelmor
