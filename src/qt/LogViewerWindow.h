#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "lang/TLanguage.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;

namespace kelmor {

class CurveChartWidget;
class LogPlotWidget;
class TFormHlav;

// The ride log viewer's window, beside the main window, which goes on
// polling: the plot, the replay's controls, the advance chart with the
// operating point moving over the curve, and every column's value at the
// cursor. The logic is the main window's TFormHlav::Viewer; this window
// draws it and turns the user's actions and the passing of time into calls.
class LogViewerWindow : public QWidget {
    Q_OBJECT
  public:
    LogViewerWindow(TFormHlav& form, QWidget* mainWindow);

    // Shows the log the viewer has just taken, next to the main window.
    void ShowLog();

    LogPlotWidget* Plot() const { return PlotView; }
    CurveChartWidget* Chart() const { return ChartView; }
    QPushButton* PlayButton() const { return Play; }
    QComboBox* SpeedBox() const { return Speed; }
    QComboBox* CurveBox() const { return Curve; }
    QSlider* PositionSlider() const { return Slider; }
    QTableWidget* ValuesTable() const { return Values; }
    QLabel* NoteLabel() const { return Note; }

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void ApplyTexts();
    void Sync();
    void ShowValues();
    void TogglePlay();
    void StepReplay();
    void CurveChosen(int index);
    void FollowWindow();
    void RepaintChart();
    void Place();

    TFormHlav& Form;
    QWidget* MainWindowWidget;
    LogPlotWidget* PlotView = nullptr;
    CurveChartWidget* ChartView = nullptr;
    QTableWidget* Values = nullptr;
    QLabel* Note = nullptr;
    QLabel* TimeText = nullptr;
    QPushButton* Open = nullptr;
    QPushButton* Play = nullptr;
    QComboBox* Speed = nullptr;
    QComboBox* Curve = nullptr;
    QSlider* Slider = nullptr;
    QTimer Replay;
    QTimer Follow;
    QElapsedTimer Clock;
    TLanguage ShownLanguage = 0xFF;
    uint32_t ShownRevision = 0;
    uint32_t ShownChartRevision = 0;
    size_t ShownLine = SIZE_MAX;
    bool Placed = false;
};

} // namespace kelmor
