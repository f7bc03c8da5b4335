#pragma once
#include <QLineF>
#include <QList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "lang/TMessageTable.h"
#include "ui/LogViewer.h"

namespace kelmor {

// Engine speed, advance and voltage of a ride, one above the other against
// one time axis, with the voltage colour bands of the read-out and the rev
// limiter, start limiter and kill switch as shaded spans. The wheel zooms
// about the pointer, a drag pans, a click puts the replay there, a double
// click shows the whole ride. It draws and turns the mouse into calls of
// the viewer; the viewer holds every state.
class LogPlotWidget : public QWidget {
    Q_OBJECT
  public:
    LogPlotWidget(LogViewer& viewer, const TMessageTable& messages, QWidget* parent);

    // The moment under the pointer while it is over the plot.
    bool Hovering() const { return Hover; }
    uint32_t HoverTime() const { return HoverAt; }
    // Where a moment lies across the widget, and back.
    double XOf(uint32_t t) const;
    uint32_t TimeAt(double x) const;
    // Repaints so far, for tests.
    int Paints() const { return PaintCount; }

  signals:
    // The view changed on the user's account (zoom, pan, a seek, the cursor).
    void Moved();

  protected:
    void paintEvent(QPaintEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

  private:
    QRectF Strip(int n) const;
    double Left() const;
    double Right() const;
    void UpdateLayout() const;

    LogViewer& Viewer;
    const TMessageTable& Messages;
    std::vector<LogViewer::Extent> Columns;
    QList<QLineF> Segments;
    bool Dragging = false;
    bool Dragged = false;
    double DragX = 0;
    bool Hover = false;
    uint32_t HoverAt = 0;
    int PaintCount = 0;
    // The places of the strips for the size and font they were measured at.
    mutable QSize LaidOut;
    mutable QFont LaidOutFont;
    mutable double LeftX = 0, RightX = 0;
    mutable std::array<QRectF, 3> Strips;
};

} // namespace kelmor
