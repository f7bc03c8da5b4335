#pragma once
#include <QString>
#include <QWidget>
#include <cstdint>

#include "ui/CurveChart.h"
#include "ui/WindowModel.h"

class QPainter;

namespace kelmor {

// Draws the chart into `area`: a white plot with its grid, the rev limiter,
// the curve with its active point in lime, and the live point with its trail.
void PaintCurveChart(QPainter& painter, const QRectF& area, const CurveChart& chart,
                     const QString& rpmLabel, const QString& advanceLabel);

// The advance chart in the window. It paints only when the chart has
// changed since it last painted (Refresh), so an idle tick costs nothing.
class CurveChartWidget : public QWidget {
  public:
    CurveChartWidget(const CurveChart& chart, const WindowModel& model, QWidget* parent);

    // Asks for a repaint when the chart has changed since the last one (the
    // view repaints it itself when the axis titles change language).
    void Refresh();
    // Repaints so far, for tests.
    int Paints() const { return PaintCount; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QString RpmLabel() const;
    QString AdvanceLabel() const;

    const CurveChart& Chart;
    const WindowModel& Model;
    uint32_t PaintedRevision = 0;
    int PaintCount = 0;
};

} // namespace kelmor
