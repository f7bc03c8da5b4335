#include "qt/LogPlotWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "link/TMonitorData.h"

namespace kelmor {

namespace {
const QColor LINE(0, 0, 128);
const QColor MAX_LINE(150, 150, 150);
const QColor GRID(220, 220, 220);
const QColor POSITION(0, 90, 200);
const QColor ALARM_BAND(255, 205, 205);
const QColor WARNING_BAND(255, 248, 185);
constexpr int STRIPS = 3;
constexpr double GAP = 8;

struct Scale {
    double Low = 0, High = 1;
};

// A round step for about `count` marks over `span`.
double NiceStep(double span, int count) {
    const double raw = span / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

uint32_t NiceTimeStep(uint32_t span) {
    static constexpr uint32_t STEPS[] = {500,     1000,    2000,    5000,    10000,  15000,
                                         30000,   60000,   120000,  300000,  600000, 900000,
                                         1800000, 3600000, 7200000, 21600000};
    for (uint32_t s : STEPS)
        if (span / s <= 8) return s;
    return 86400000;
}

QString VoltText(double mv) {
    return QString::number(mv / 1000.0, 'f', 1);
}
} // namespace

LogPlotWidget::LogPlotWidget(LogViewer& viewer, const TMessageTable& messages, QWidget* parent)
    : QWidget(parent), Viewer(viewer), Messages(messages) {
    setMouseTracking(true);
    setMinimumSize(360, 300);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void LogPlotWidget::UpdateLayout() const {
    // Measured once per size and font: every point drawn asks for these.
    if (LaidOut == size() && LaidOutFont == font()) return;
    LaidOut = size();
    LaidOutFont = font();
    const QFontMetricsF fm(font());
    LeftX = fm.horizontalAdvance(QStringLiteral("00000")) + 10;
    RightX = width() - 10.0;
    const double line = fm.height();
    // Below the strips: a line for the times, then one for the legend.
    const double top = 6, bottom = height() - line * 2.9;
    const double h = (bottom - top - GAP * (STRIPS - 1)) / STRIPS;
    for (int n = 0; n < STRIPS; ++n)
        Strips[static_cast<size_t>(n)] = QRectF(LeftX, top + n * (h + GAP), RightX - LeftX, h);
}

double LogPlotWidget::Left() const {
    UpdateLayout();
    return LeftX;
}

double LogPlotWidget::Right() const {
    UpdateLayout();
    return RightX;
}

QRectF LogPlotWidget::Strip(int n) const {
    UpdateLayout();
    return Strips[static_cast<size_t>(n)];
}

double LogPlotWidget::XOf(uint32_t t) const {
    const double span = std::max<uint32_t>(Viewer.ViewSpan(), 1);
    return Left() + (double(t) - Viewer.ViewFrom()) * (Right() - Left()) / span;
}

uint32_t LogPlotWidget::TimeAt(double x) const {
    const double w = std::max(Right() - Left(), 1.0);
    const double t = Viewer.ViewFrom() + (x - Left()) / w * Viewer.ViewSpan();
    return static_cast<uint32_t>(std::clamp(t, 0.0, 4294967295.0));
}

void LogPlotWidget::paintEvent(QPaintEvent* /*e*/) {
    ++PaintCount;
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (!Viewer.Loaded()) return;
    const RideLog& log = Viewer.Log();
    const QFontMetricsF fm(font());
    const double line = fm.height();
    const int pixels = std::max(1, static_cast<int>(Right() - Left()));

    // Scales: engine speed from 0, advance and maximum advance together,
    // voltage wide enough to show the warning bands on both sides of normal.
    int32_t lo = 0, hi = 0, lo2 = 0, hi2 = 0;
    Scale scales[STRIPS];
    Viewer.Range(LogColumn::Rpm, lo, hi);
    scales[0] = {0, std::max(1000.0, hi * 1.08)};
    Viewer.Range(LogColumn::Advance, lo, hi);
    Viewer.Range(LogColumn::AdvanceMax, lo2, hi2);
    if (!log.Has(LogColumn::AdvanceMax)) lo2 = hi2 = lo;
    scales[1] = {std::min({0, lo, lo2}) - 2.0, std::max({10, hi, hi2}) + 3.0};
    Viewer.Range(LogColumn::Voltage, lo, hi);
    scales[2] = {std::min(lo, 10000) - 500.0, std::max(hi, 15500) + 500.0};
    // The top line of each strip is its title's: the values stay below it.
    double steps[STRIPS];
    for (int n = 0; n < STRIPS; ++n) {
        steps[n] = NiceStep(scales[n].High - scales[n].Low, 4);
        const double free = std::max(Strip(n).height() - line - 4, 1.0);
        scales[n].High += (scales[n].High - scales[n].Low) * (line + 4) / free;
    }
    const QString titles[STRIPS] = {QStringLiteral("RPM"),
                                    QString::fromStdString(Messages.MsgAdvance) +
                                        QStringLiteral(" [\u00B0]"),
                                    QStringLiteral("U [V]")};
    const LogColumn columns[STRIPS] = {LogColumn::Rpm, LogColumn::Advance, LogColumn::Voltage};

    auto yOf = [&](int n, double v) {
        const QRectF s = Strip(n);
        const Scale& sc = scales[n];
        const double f = (v - sc.Low) / std::max(sc.High - sc.Low, 1e-9);
        return s.bottom() - std::clamp(f, -0.02, 1.02) * s.height();
    };

    for (int n = 0; n < STRIPS; ++n) {
        const QRectF s = Strip(n);
        p.fillRect(s, Qt::white);
        if (columns[n] == LogColumn::Voltage) {
            // The read-out's colour bands.
            auto band = [&](double from, double to, const QColor& c) {
                const double y1 = yOf(n, to), y2 = yOf(n, from);
                p.fillRect(QRectF(s.left(), y1, s.width(), y2 - y1).intersected(s), c);
            };
            band(scales[n].Low, VOLTAGE_ALARM_LOW + 0.5, ALARM_BAND);
            band(VOLTAGE_ALARM_LOW + 0.5, VOLTAGE_WARNING_LOW + 0.5, WARNING_BAND);
            band(VOLTAGE_WARNING_HIGH - 0.5, VOLTAGE_ALARM_HIGH - 0.5, WARNING_BAND);
            band(VOLTAGE_ALARM_HIGH - 0.5, scales[n].High, ALARM_BAND);
        }
        // Horizontal grid and its numbers.
        const double step = steps[n];
        p.setFont(font());
        const double first = std::ceil(scales[n].Low / step);
        for (int k = 0; (first + k) * step <= scales[n].High; ++k) {
            const double v = (first + k) * step;
            const double y = yOf(n, v);
            p.setPen(QPen(GRID, 0));
            p.drawLine(QPointF(s.left(), y), QPointF(s.right(), y));
            p.setPen(Qt::black);
            const QString text =
                columns[n] == LogColumn::Voltage ? VoltText(v) : QString::number(std::lround(v));
            p.drawText(QRectF(0, y - line / 2, s.left() - 4, line),
                       Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }

    // Vertical grid and the time below.
    const uint32_t tstep = NiceTimeStep(Viewer.ViewSpan());
    const QRectF last = Strip(STRIPS - 1);
    for (uint64_t t = (Viewer.ViewFrom() + tstep - 1) / tstep * uint64_t(tstep);
         t <= uint64_t(Viewer.ViewFrom()) + Viewer.ViewSpan(); t += tstep) {
        const double x = XOf(static_cast<uint32_t>(t));
        p.setPen(QPen(GRID, 0));
        for (int n = 0; n < STRIPS; ++n)
            p.drawLine(QPointF(x, Strip(n).top()), QPointF(x, Strip(n).bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 60, last.bottom() + 2, 120, line), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(LogViewer::TimeText(static_cast<uint32_t>(t))));
    }

    // The spans of the limiters and the kill switch, over all strips.
    struct SpanLook {
        LogColumn Flag;
        QBrush Brush;
    } looks[] = {{LogColumn::RevLimiter, QColor(255, 0, 0, 70)},
                 {LogColumn::StartLimiter, QColor(255, 0, 255, 60)},
                 {LogColumn::KillSwitch, QBrush(QColor(200, 0, 0, 170), Qt::BDiagPattern)}};
    for (const SpanLook& look : looks)
        for (const LogViewer::Span& span : Viewer.Spans(look.Flag)) {
            if (span.To < Viewer.ViewFrom() || span.From > Viewer.ViewFrom() + Viewer.ViewSpan())
                continue;
            const double x1 = std::max(XOf(span.From), Left());
            const double x2 = std::min(std::max(XOf(span.To), x1 + 1), Right());
            for (int n = 0; n < STRIPS; ++n) {
                const QRectF s = Strip(n);
                p.fillRect(QRectF(x1, s.top(), x2 - x1, s.height()), look.Brush);
            }
        }

    // The values: through the lines themselves when there are few, else
    // the extent of each pixel column, so a long ride draws as fast as a
    // short one.
    p.setRenderHint(QPainter::Antialiasing, true);
    size_t first = 0, end = 0;
    Viewer.VisibleLines(first, end);
    const bool few = end - first <= static_cast<size_t>(pixels) * 2;
    auto drawColumn = [&](int n, LogColumn c, const QColor& colour, double widthPx) {
        if (!log.Has(c)) return;
        const QRectF s = Strip(n);
        p.save();
        p.setClipRect(s);
        QPen pen(colour, widthPx);
        // Cosmetic: a thin line of the same width at any scale, which the
        // raster engine draws directly instead of stroking an outline.
        pen.setCosmetic(true);
        p.setPen(pen);
        if (few) {
            QPainterPath path;
            for (size_t i = first; i < end; ++i) {
                const QPointF at(XOf(log.Time(i)), yOf(n, log.At(c, i)));
                if (i == first)
                    path.moveTo(at);
                else
                    path.lineTo(at);
            }
            p.drawPath(path);
        } else {
            // A vertical line a pixel column, joined to the next: drawn in
            // one call, on whole pixels, without smoothing.
            Viewer.Envelope(c, pixels, Columns);
            Segments.clear();
            QPointF previous;
            bool have = false;
            for (int x = 0; x < pixels; ++x) {
                const LogViewer::Extent& e = Columns[static_cast<size_t>(x)];
                if (!e.Any) continue;
                const double px = Left() + x + 0.5;
                const QPointF middle(px, yOf(n, (e.Min + e.Max) / 2.0));
                if (have) Segments.append(QLineF(previous, middle));
                Segments.append(QLineF(px, yOf(n, e.Max), px, yOf(n, e.Min)));
                previous = middle;
                have = true;
            }
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawLines(Segments);
        }
        p.restore();
    };
    drawColumn(1, LogColumn::AdvanceMax, MAX_LINE, 1.0);
    for (int n = 0; n < STRIPS; ++n)
        drawColumn(n, columns[n], LINE, 1.4);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Frames and titles.
    for (int n = 0; n < STRIPS; ++n) {
        const QRectF s = Strip(n);
        p.setPen(QPen(QColor(128, 128, 128), 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(s);
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(Qt::black);
        p.drawText(s.adjusted(6, 2, -6, -2), Qt::AlignLeft | Qt::AlignTop, titles[n]);
        p.setFont(font());
    }

    // The replay's position, and the cursor under the pointer.
    const double px = XOf(Viewer.Position());
    if (px >= Left() && px <= Right()) {
        p.setPen(QPen(POSITION, 2));
        p.drawLine(QPointF(px, Strip(0).top()), QPointF(px, last.bottom()));
    }
    if (Hover) {
        const double hx = XOf(HoverAt);
        p.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
        p.drawLine(QPointF(hx, Strip(0).top()), QPointF(hx, last.bottom()));
    }

    // The spans' legend, on its own line below the times.
    const QString names[] = {QString::fromStdString(Messages.MsgLimiter),
                             QString::fromStdString(Messages.MsgStartLimiter),
                             QString::fromStdString(Messages.MsgKillSwitch)};
    const double legendY = last.bottom() + line * 1.6;
    double x = Right();
    for (int i = 2; i >= 0; --i) {
        const double w = fm.horizontalAdvance(names[i]);
        x -= w;
        p.setPen(Qt::black);
        p.drawText(QRectF(x, legendY, w, line), Qt::AlignLeft, names[i]);
        x -= line + 4;
        const QRectF swatch(x, legendY + line * 0.1, line * 0.9, line * 0.8);
        p.fillRect(swatch, looks[i].Brush);
        p.setPen(QPen(QColor(128, 128, 128), 0));
        p.drawRect(swatch);
        x -= line;
    }
}

void LogPlotWidget::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0) return;
    Viewer.Zoom(std::pow(0.8, notches), TimeAt(e->position().x()));
    update();
    emit Moved();
}

void LogPlotWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    Dragging = true;
    Dragged = false;
    DragX = e->position().x();
    setCursor(Qt::ClosedHandCursor);
}

void LogPlotWidget::mouseMoveEvent(QMouseEvent* e) {
    const double x = e->position().x();
    if (Dragging) {
        const double dx = x - DragX;
        if (std::abs(dx) >= 3) Dragged = true;
        if (Dragged) {
            const double w = std::max(Right() - Left(), 1.0);
            Viewer.Pan(static_cast<int64_t>(std::llround(-dx / w * Viewer.ViewSpan())));
            DragX = x;
        }
    }
    Hover = x >= Left() && x <= Right();
    HoverAt = TimeAt(std::clamp(x, Left(), Right()));
    update();
    emit Moved();
}

void LogPlotWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !Dragging) return QWidget::mouseReleaseEvent(e);
    Dragging = false;
    unsetCursor();
    // A click without a drag puts the replay there.
    if (!Dragged) Viewer.Seek(TimeAt(std::clamp(e->position().x(), Left(), Right())));
    update();
    emit Moved();
}

void LogPlotWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(e);
    Viewer.ShowAll();
    update();
    emit Moved();
}

void LogPlotWidget::leaveEvent(QEvent* e) {
    Hover = false;
    update();
    emit Moved();
    QWidget::leaveEvent(e);
}

} // namespace kelmor
