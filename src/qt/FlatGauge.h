#pragma once
#include <QColor>
#include <QProgressBar>

namespace kelmor {

// A bar gauge on white with a thin grey border and a flat bar of one
// colour, the percentage in black across it when the text is shown.
class FlatGauge : public QProgressBar {
    Q_OBJECT
  public:
    using QProgressBar::QProgressBar;

    void SetBarColour(const QColor& colour);
    QColor BarColour() const { return Bar; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QColor Bar = Qt::blue;
};

} // namespace kelmor
