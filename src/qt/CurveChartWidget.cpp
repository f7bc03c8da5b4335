#include "qt/CurveChartWidget.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace kelmor {

namespace {
const QColor CURVE(0, 0, 128);
const QColor GRID(214, 214, 214);
const QColor LIVE(255, 0, 0);
const QColor LIME(0, 255, 0);
} // namespace

void PaintCurveChart(QPainter& painter, const QRectF& area, const CurveChart& chart,
                     const QString& rpmLabel, const QString& advanceLabel) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetricsF fm(painter.font());
    const double line = fm.height();
    // Room for the advance numbers on the left, the speeds and title below.
    const double left = area.left() + fm.horizontalAdvance(QStringLiteral("00")) + line * 0.6;
    const double top = area.top() + line * 1.2;
    const double right = area.right() - fm.horizontalAdvance(QStringLiteral("00000")) / 2;
    const double bottom = area.bottom() - line * 2.1;
    const QRectF plot(QPointF(left, top), QPointF(right, bottom));

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
    for (int r = 0; r <= chart.RpmMax(); r += chart.RpmStep()) {
        const double x = chart.X(r, plot.left(), w);
        painter.setPen(QPen(GRID, 0));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
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

void CurveChartWidget::paintEvent(QPaintEvent* /*e*/) {
    ++PaintCount;
    QPainter painter(this);
    painter.setFont(font());
    PaintCurveChart(painter, QRectF(rect()), Chart, RpmLabel(), AdvanceLabel());
}

} // namespace kelmor
