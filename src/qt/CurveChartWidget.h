#pragma once
#include <QString>
#include <QWidget>

#include "ui/CurveChart.h"
#include "ui/WindowModel.h"

class QPainter;

namespace kelmor {

// Draws the chart into `area`: a white plot with its grid, the rev limiter,
// the curve with its active point in lime, and the live point with its trail.
void PaintCurveChart(QPainter& painter, const QRectF& area, const CurveChart& chart,
                     const QString& rpmLabel, const QString& advanceLabel);

// The advance chart in the window. The logic asks for a repaint only when
// the chart has changed, so an idle tick costs nothing.
class CurveChartWidget : public QWidget {
  public:
    CurveChartWidget(const CurveChart& chart, const WindowModel& model, QWidget* parent);

    // Repaints so far, for tests.
    int Paints() const { return PaintCount; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QString RpmLabel() const;
    QString AdvanceLabel() const;

    const CurveChart& Chart;
    const WindowModel& Model;
    int PaintCount = 0;
};

} // namespace kelmor
