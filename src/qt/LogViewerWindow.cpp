#include "qt/LogViewerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/CurveChartWidget.h"
#include "qt/Fonts.h"
#include "qt/LogPlotWidget.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
// The replay moves on every 30 ms; the window follows the main window's set
// and language five times a second.
constexpr int REPLAY_MS = 30;
constexpr int FOLLOW_MS = 200;
constexpr int SPEEDS[] = {1, 4, 16};

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

QString FileName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return Text(slash == std::string::npos ? path : path.substr(slash + 1));
}
} // namespace

LogViewerWindow::LogViewerWindow(TFormHlav& form, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), Form(form), MainWindowWidget(mainWindow) {
    setFont(ControlFont(12));
    setObjectName(QStringLiteral("LogViewer"));
    LogViewer& viewer = Form.Viewer;

    Open = new QPushButton(this);
    Play = new QPushButton(this);
    Speed = new QComboBox(this);
    for (int s : SPEEDS)
        Speed->addItem(QStringLiteral("%1\u00D7").arg(s), s);
    Slider = new QSlider(Qt::Horizontal, this);
    TimeText = new QLabel(this);
    TimeText->setMinimumWidth(
        QFontMetrics(font()).horizontalAdvance(QStringLiteral("00:00:00.0 / 00:00:00.0")));
    Curve = new QComboBox(this);
    Curve->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* bar = new QHBoxLayout;
    bar->addWidget(Open);
    bar->addSpacing(12);
    bar->addWidget(Play);
    bar->addWidget(Speed);
    bar->addWidget(Slider, 1);
    bar->addWidget(TimeText);
    bar->addSpacing(12);
    bar->addWidget(Curve);

    Note = new QLabel(this);
    Note->setWordWrap(true);
    Note->setTextFormat(Qt::PlainText);
    Note->setAutoFillBackground(true);
    QPalette notePalette = Note->palette();
    notePalette.setColor(QPalette::Window, QColor(255, 248, 185));
    Note->setPalette(notePalette);
    Note->setMargin(4);

    PlotView = new LogPlotWidget(viewer, Form.Messages, this);
    // The plot holds the focus, so Space, Home and End reach the replay
    // rather than a button.
    PlotView->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* w : {static_cast<QWidget*>(Open), static_cast<QWidget*>(Play)})
        w->setFocusPolicy(Qt::TabFocus);
    ChartView = new CurveChartWidget(viewer.Chart(), Form.Model(), this);
    ChartView->setFont(ControlFont(11));
    ChartView->setMinimumSize(280, 200);
    Values = new QTableWidget(LOG_COLUMNS, 2, this);
    Values->horizontalHeader()->setVisible(false);
    Values->verticalHeader()->setVisible(false);
    Values->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Values->setSelectionMode(QAbstractItemView::NoSelection);
    Values->setFocusPolicy(Qt::NoFocus);
    Values->horizontalHeader()->setStretchLastSection(true);
    Values->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 2);
    for (int r = 0; r < LOG_COLUMNS; ++r) {
        Values->setItem(
            r, 0,
            new QTableWidgetItem(Text(std::string(LogColumnName(static_cast<LogColumn>(r))))));
        Values->setItem(r, 1, new QTableWidgetItem);
    }
    Values->resizeColumnToContents(0);

    auto* side = new QSplitter(Qt::Vertical, this);
    side->addWidget(ChartView);
    side->addWidget(Values);
    side->setStretchFactor(0, 1);
    side->setStretchFactor(1, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(PlotView);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Note);
    layout->addWidget(split, 1);

    connect(Open, &QPushButton::clicked, this, [this] { Form.MenuLogViewerClick(); });
    connect(Play, &QPushButton::clicked, this, [this] { TogglePlay(); });
    connect(Speed, &QComboBox::currentIndexChanged, this, [this](int i) {
        Form.Viewer.SetSpeed(Speed->itemData(i).toInt());
        Sync();
    });
    connect(Slider, &QSlider::valueChanged, this, [this](int v) {
        Form.Viewer.Seek(Form.Viewer.Log().FirstTime() + static_cast<uint32_t>(std::max(v, 0)));
        Sync();
    });
    connect(Curve, &QComboBox::activated, this, [this](int i) { CurveChosen(i); });
    connect(PlotView, &LogPlotWidget::Moved, this, [this] { Sync(); });
    Replay.setTimerType(Qt::PreciseTimer);
    connect(&Replay, &QTimer::timeout, this, [this] { StepReplay(); });
    connect(&Follow, &QTimer::timeout, this, [this] { FollowWindow(); });
    resize(1000, 620);
}

void LogViewerWindow::ShowLog() {
    LogViewer& v = Form.Viewer;
    Replay.stop();
    ShownLine = SIZE_MAX;
    const uint32_t length = v.Log().LastTime() - v.Log().FirstTime();
    Slider->blockSignals(true);
    Slider->setRange(0, static_cast<int>(std::min<uint32_t>(length, INT32_MAX)));
    Slider->setSingleStep(330);
    Slider->setPageStep(
        static_cast<int>(std::min<uint32_t>(std::max<uint32_t>(length / 20, 1000), INT32_MAX)));
    Slider->blockSignals(false);
    Speed->setCurrentIndex(static_cast<int>(
        std::find(std::begin(SPEEDS), std::end(SPEEDS), v.Speed()) - std::begin(SPEEDS)));
    ShownLanguage = 0xFF;
    FollowWindow();
    Sync();
    if (!Placed) Place();
    show();
    raise();
    activateWindow();
    PlotView->setFocus();
    Follow.start(FOLLOW_MS);
}

void LogViewerWindow::Place() {
    // Beside the main window where the screen has room, else over its corner.
    Placed = true;
    const QRect main = MainWindowWidget->frameGeometry();
    const QScreen* screen = MainWindowWidget->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    QSize size = this->size().boundedTo(room.size() - QSize(20, 60));
    resize(size);
    int x = main.right() + 1;
    if (x + size.width() > room.right()) x = main.left() - size.width() - 1;
    if (x < room.left()) x = std::min(main.left() + 40, room.right() - size.width());
    const int y =
        std::clamp(main.top(), room.top(), std::max(room.top(), room.bottom() - size.height()));
    move(std::max(x, room.left()), y);
}

void LogViewerWindow::ApplyTexts() {
    const TMessageTable& t = Form.Messages;
    ShownLanguage = Form.Language;
    setWindowTitle(Text(t.MsgLogViewer) + QStringLiteral(" - ") + FileName(Form.Viewer.Path()));
    Open->setText(Text(t.MsgOpenLog));
    Curve->clear();
    Curve->addItem(Text(t.MsgCurveOfWindow));
    if (Form.Viewer.UsesCurveFile()) Curve->addItem(FileName(Form.Viewer.CurveFile()));
    Curve->addItem(Text(t.MsgCurveFromFile));
    Curve->setCurrentIndex(Form.Viewer.UsesCurveFile() ? 1 : 0);
    Note->setText(Text(Form.ViewerNote));
    Note->setVisible(!Form.ViewerNote.empty());
    ShownLine = SIZE_MAX;
    PlotView->update();
    ChartView->update();
}

void LogViewerWindow::FollowWindow() {
    if (Form.Language != ShownLanguage) ApplyTexts();
    Form.Viewer.FollowCurve(Form.Params());
    RepaintChart();
}

void LogViewerWindow::RepaintChart() {
    // The viewer's own chart: painted again only when it has changed.
    if (Form.Viewer.Chart().Revision() == ShownChartRevision) return;
    ShownChartRevision = Form.Viewer.Chart().Revision();
    ChartView->update();
}

void LogViewerWindow::Sync() {
    LogViewer& v = Form.Viewer;
    Play->setText(Text(v.Playing() ? Form.Messages.MsgPause : Form.Messages.MsgPlay));
    if (!Slider->isSliderDown()) {
        Slider->blockSignals(true);
        Slider->setValue(
            static_cast<int>(std::min<uint32_t>(v.Position() - v.Log().FirstTime(), INT32_MAX)));
        Slider->blockSignals(false);
    }
    TimeText->setText(Text(LogViewer::TimeText(v.Position() - v.Log().FirstTime()) + " / " +
                           LogViewer::TimeText(v.Log().LastTime() - v.Log().FirstTime())));
    if (v.Revision() != ShownRevision) {
        ShownRevision = v.Revision();
        PlotView->update();
    }
    RepaintChart();
    ShowValues();
}

void LogViewerWindow::ShowValues() {
    const LogViewer& v = Form.Viewer;
    if (!v.Loaded()) return;
    const uint32_t t = PlotView->Hovering() ? PlotView->HoverTime() : v.Position();
    const size_t line = v.Log().IndexAt(t);
    if (line == ShownLine) return;
    ShownLine = line;
    std::vector<std::pair<std::string, std::string>> rows;
    v.CursorValues(t, Form.Messages, rows);
    for (size_t r = 0; r < rows.size() && r < static_cast<size_t>(LOG_COLUMNS); ++r)
        Values->item(static_cast<int>(r), 1)->setText(Text(rows[r].second));
}

void LogViewerWindow::TogglePlay() {
    LogViewer& v = Form.Viewer;
    if (v.Playing()) {
        v.Pause();
        Replay.stop();
    } else {
        v.Play();
        Clock.start();
        Replay.start(REPLAY_MS);
    }
    Sync();
}

void LogViewerWindow::StepReplay() {
    LogViewer& v = Form.Viewer;
    // The time that really passed, so a late timer does not slow the ride down.
    v.Advance(static_cast<uint32_t>(Clock.restart()));
    if (!v.Playing()) Replay.stop();
    Sync();
}

void LogViewerWindow::CurveChosen(int index) {
    LogViewer& v = Form.Viewer;
    if (index == 0) {
        v.UseWindowCurve();
    } else if (index == Curve->count() - 1) {
        const QString path = QFileDialog::getOpenFileName(
            this, Text(Form.Messages.MsgCurveFromFile),
            Text(v.UsesCurveFile() ? v.CurveFile() : Form.LastFileName),
            QStringLiteral("Ignition Parametrs(*.ign);;All Files (*.*)"));
        std::string error;
        if (!path.isEmpty() && !v.UseCurveFile(path.toStdString(), Form.Messages, error))
            QMessageBox(QMessageBox::NoIcon, QApplication::applicationDisplayName(), Text(error),
                        QMessageBox::Ok, this)
                .exec();
    }
    ShownLanguage = 0xFF; // the list again, with the file chosen
    FollowWindow();
}

void LogViewerWindow::keyPressEvent(QKeyEvent* e) {
    LogViewer& v = Form.Viewer;
    switch (e->key()) {
    case Qt::Key_Space:
        TogglePlay();
        return;
    case Qt::Key_Home:
        v.Seek(v.Log().FirstTime());
        break;
    case Qt::Key_End:
        v.Seek(v.Log().LastTime());
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    Sync();
}

void LogViewerWindow::closeEvent(QCloseEvent* e) {
    Replay.stop();
    Follow.stop();
    // The log may be large; a closed viewer keeps nothing of it.
    Form.Viewer.Close();
    ShownRevision = 0;
    e->accept();
}

} // namespace kelmor
