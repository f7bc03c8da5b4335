#pragma once
#include <QString>
#include <QWidget>

#include "ui/CurveChart.h"
#include "ui/WindowModel.h"

class QPainter;
class QFontMetricsF;

namespace kelmor {

class TFormHlav;

// Draws the chart into `area`: a white plot with its grid, the rev limiter,
// the curve with its active point in lime and its picked point ringed, and
// the live point with its trail.
void PaintCurveChart(QPainter& painter, const QRectF& area, const CurveChart& chart,
                     const QString& rpmLabel, const QString& advanceLabel);
// The plot inside `area`, around which the numbers and titles go.
QRectF CurvePlotArea(const QRectF& area, const QFontMetricsF& fm);

// The advance chart in the window. The logic asks for a repaint only when
// the chart has changed, so an idle tick costs nothing. Given an editor, it
// turns mouse and keys on the points into its calls.
class CurveChartWidget : public QWidget {
  public:
    CurveChartWidget(const CurveChart& chart, const WindowModel& model, QWidget* parent);

    // Repaints so far, for tests.
    int Paints() const { return PaintCount; }
    // Points of the curve move with the mouse and the arrow keys.
    void SetEditor(TFormHlav* form);
    // Where an engine speed and advance are drawn, in the widget's
    // coordinates; where a point of the curve is.
    QPointF PositionOf(int rpm, int advance) const;
    QPointF PointPosition(int point) const;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    QString RpmLabel() const;
    QString AdvanceLabel() const;
    QRectF Plot() const;
    // The point in use nearest to `pos` within reach of the pointer, or -1.
    int PointAt(const QPointF& pos) const;

    const CurveChart& Chart;
    const WindowModel& Model;
    TFormHlav* Editor = nullptr;
    int PaintCount = 0;
};

} // namespace kelmor
