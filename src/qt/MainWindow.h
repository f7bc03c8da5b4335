#pragma once
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <optional>
#include <string>

#include "qt/TickTimer.h"
#include "ui/TFormHlav.h"
#include "ui/TPlatform.h"
#include "ui/WindowModel.h"

class QAction;
class QButtonGroup;
class QKeyEvent;
class QLabel;
class QMenu;

namespace kelmor {

class CurveChartWidget;
class LogViewerWindow;

// The main window on the screen: one widget per control of the layout
// table, kept in step with the window model, and every user action turned
// into the handler the wiring names. It holds no state of its own beyond
// the widgets.
class MainWindow : public QMainWindow, public ModelListener {
    Q_OBJECT
  public:
    explicit MainWindow(TFormHlav& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The widget of a control; one not built yet (never shown so far) is built.
    QWidget* Widget(ControlId id) const;
    QAction* Action(ControlId id) const { return Actions[Index(id)]; }
    // The 920 x 676 client area below the menu bar.
    QWidget* ClientArea() const { return Client; }

    // The control a widget belongs to: itself or its nearest enclosing control.
    ControlId ControlOf(const QWidget* widget) const;
    ControlId FocusedControl() const;
    void FocusControl(ControlId id);

    // The outer frame, as the settings keep it.
    TPlatform::Geometry OuterGeometry() const;
    void SetOuterGeometry(const TPlatform::Geometry& g);

    // Ticks delivered to the logic so far.
    int Ticks() const { return TickTotal; }
    // The advance chart.
    CurveChartWidget* ChartWidget() const { return Chart; }
    // The ride log viewer's window, made when a log is first opened.
    void ShowLogViewer();
    LogViewerWindow* LogViewerView() const { return Viewer; }

    void OnControlChanged(ControlId id, Property what) override;

    void setVisible(bool visible) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void Build();
    QWidget* BuildControl(const ControlLayout& row, QWidget* parent);
    void BuildMenus();
    void BuildTabOrder();
    static bool IsWidgetControl(ControlId id);
    // Shown when the window first shows, as the layout designs it.
    static bool ShownInDesign(ControlId id);
    QWidget* EnsureBuilt(ControlId id);
    void BuildShowingChildren(ControlId id);
    void ApplyAll();
    void ApplyControl(ControlId id);
    void ApplyCaption(ControlId id);
    void ApplyHint(ControlId id);
    void ApplyName(ControlId id);
    void GrowToShowAll();
    void ApplyColour(ControlId id);
    void ApplyVisible(ControlId id);
    void ApplyEnabled(ControlId id);
    void ApplyChecked(ControlId id);
    void ApplyItems(ControlId id);
    void ApplyItemIndex(ControlId id);
    void ApplyProgress(ControlId id);
    void FitToText(ControlId id);
    void DockStatusBar();

    // User actions.
    void ShowHintAt(const QWidget* widget);
    bool IsMenuShortcut(const QKeyEvent& e) const;
    QWidget* FocusTarget(ControlId id) const;

    TFormHlav& Form;
    WindowModel& Model;
    QWidget* Client = nullptr;
    QLabel* StatusText = nullptr;
    std::array<QWidget*, CONTROL_COUNT> Widgets{};
    std::array<QAction*, CONTROL_COUNT> Actions{};
    std::array<QButtonGroup*, CONTROL_COUNT> RadioButtons{};
    TickTimer Timer1;
    int TickTotal = 0;
    CurveChartWidget* Chart = nullptr;
    LogViewerWindow* Viewer = nullptr;
    // Depth of model changes being put on the screen; the widgets' own
    // change signals are not user input while it is above 0.
    int Applying = 0;
    bool Closed = false;
    // Shown once: from then on every change of the model goes to the screen.
    bool Started = false;
    // Geometry asked for before the frame's size was known.
    std::optional<TPlatform::Geometry> PendingGeometry;
};

} // namespace kelmor
