// The ride log viewer's window on the offscreen platform: it opens beside
// the main window, which goes on polling; the replay runs on the real clock
// at its speed and moves the operating point over the curve; the wheel
// zooms, a drag pans, a click seeks; what reading left out is shown.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <fstream>
#include <memory>

#include "WindowHarness.h"
#include "link/MonitorCsv.h"
#include "qt/LogPlotWidget.h"
#include "qt/LogViewerWindow.h"
#include "qt/Pictures.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUnit.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;

class LogViewerTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir Dir;
    std::unique_ptr<Harness> H;
    std::shared_ptr<SimUnit> Unit;

    // A ride of `n` lines 330 ms apart, the engine at 2000 rpm and up.
    std::string Ride(int n, const std::string& tail = "") {
        std::string text = MonitorCsvHeader();
        for (int i = 0; i < n; ++i)
            text += std::to_string(330 * i) + "," + std::to_string(2000 + 10 * i) + "," +
                    std::to_string(10 + i % 20) +
                    ",30,13.500,7,0,1,0,0,0,0,0,0,0,0,0,0,1,positive,0,67,0,0,0,0,0,0,0,0\r\n";
        return text + tail;
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = Dir.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    LogViewerWindow* Open(const std::string& text) {
        H->Form.OpenLogFile(Write("ride.csv", text));
        LogViewerWindow* w = H->View.LogViewerView();
        if (w != nullptr && !QTest::qWaitForWindowExposed(w)) return nullptr;
        return w;
    }

  private slots:
    void initTestCase() {
        InitPictures();
        QVERIFY(Dir.isValid());
        qputenv("XDG_CONFIG_HOME", Dir.path().toLocal8Bit());
    }
    void init() {
        Unit = std::make_shared<SimUnit>();
        H = std::make_unique<Harness>(
            Dir.path(), [this](int) { return std::make_unique<SimSerialPort>(Unit); });
        QVERIFY(QTest::qWaitForWindowActive(&H->View));
    }
    void cleanup() { H.reset(); }

    void opensWithTheLogAndSaysWhatWasLeftOut() {
        LogViewerWindow* w = Open(Ride(20));
        QVERIFY(w != nullptr && w->isVisible());
        QVERIFY(w->windowTitle().endsWith(QStringLiteral("ride.csv")));
        QVERIFY(!w->NoteLabel()->isVisible());
        QCOMPARE(w->ValuesTable()->item(1, 0)->text(), QStringLiteral("rpm"));
        QCOMPARE(w->ValuesTable()->item(1, 1)->text(), QStringLiteral("2000"));
        QCOMPARE(w->PlayButton()->text(), QStringLiteral("Play"));

        // A second log replaces the first, in the same window.
        H->Form.MenuGermanClick();
        QVERIFY(Open(Ride(5, "1650,2050,1")) == w);
        QVERIFY(w->NoteLabel()->isVisible());
        QVERIFY(w->NoteLabel()->text().startsWith(QStringLiteral("Die letzte Zeile")));
        QTRY_COMPARE(w->PlayButton()->text(), QStringLiteral("Abspielen"));

        // Closed, it keeps nothing of the log.
        w->close();
        QVERIFY(!H->Form.Viewer.Loaded());
    }

    void theReplayRunsOnTheRealClockAndTheWindowGoesOnPolling() {
        LogViewerWindow* w = Open(Ride(3000)); // 16.5 minutes
        const int ticks = H->View.Ticks();
        w->SpeedBox()->setCurrentIndex(2); // 16x
        QElapsedTimer clock;
        QTest::mouseClick(w->PlayButton(), Qt::LeftButton);
        clock.start();
        QCOMPARE(w->PlayButton()->text(), QStringLiteral("Pause"));
        QTest::qWait(1500);
        QTest::mouseClick(w->PlayButton(), Qt::LeftButton);
        const qint64 elapsed = clock.elapsed();
        const uint32_t position = H->Form.Viewer.Position();
        // 16 times the time that passed, less at most a step of the replay.
        QVERIFY2(position <= 16 * elapsed && position >= 16 * (elapsed - 120),
                 qPrintable(QStringLiteral("%1 ms after %2 ms").arg(position).arg(elapsed)));
        QTest::qWait(200);
        QCOMPARE(H->Form.Viewer.Position(), position); // paused
        QCOMPARE(w->PositionSlider()->value(), int(position));
        // The operating point went over the curve with its trail.
        const CurveChart& chart = H->Form.Viewer.Chart();
        QVERIFY(chart.LiveShown());
        QVERIFY(chart.TrailCount() >= 5);
        QCOMPARE(chart.Live().Rpm,
                 H->Form.Viewer.Log().At(LogColumn::Rpm, H->Form.Viewer.Log().IndexAt(position)));
        QCOMPARE(chart.PointCount(), int(H->Form.Params().PocetBodu));
        // The main window's tick and its monitor went on meanwhile.
        QVERIFY(H->View.Ticks() - ticks >= 20);
        QVERIFY(H->Form.ConnectionAge < 18);
    }

    void theMouseZoomsPansAndSeeks() {
        LogViewerWindow* w = Open(Ride(1000)); // 0 .. 329 670 ms
        LogPlotWidget* plot = w->Plot();
        LogViewer& v = H->Form.Viewer;
        QCOMPARE(v.ViewSpan(), 329670u);
        const QPointF middle(plot->width() / 2.0, plot->height() / 2.0);
        const uint32_t under = plot->TimeAt(middle.x());
        QWheelEvent wheel(middle, plot->mapToGlobal(middle), QPoint(), QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        QCOMPARE(v.ViewSpan(), uint32_t(329670 * 0.64));
        QVERIFY(std::abs(int64_t(plot->TimeAt(middle.x())) - under) <= 500); // kept in place

        const uint32_t from = v.ViewFrom();
        QTest::mousePress(plot, Qt::LeftButton, {}, middle.toPoint());
        QTest::mouseMove(plot, middle.toPoint() + QPoint(-100, 0));
        QTest::mouseRelease(plot, Qt::LeftButton, {}, middle.toPoint() + QPoint(-100, 0));
        QVERIFY(v.ViewFrom() > from); // dragged left: later times come into view
        QCOMPARE(v.Position(), 0u);   // a drag does not seek

        const QPoint at = (middle + QPointF(40, 0)).toPoint();
        QTest::mouseClick(plot, Qt::LeftButton, {}, at);
        QCOMPARE(v.Position(), plot->TimeAt(at.x()));
        QTest::mouseDClick(plot, Qt::LeftButton, {}, at);
        QCOMPARE(v.ViewSpan(), 329670u);
    }

    void aLargeLogOpensQuickly() {
        QElapsedTimer clock;
        const std::string path = Write("hour.csv", Ride(11000));
        clock.start();
        H->Form.OpenLogFile(path);
        LogViewerWindow* w = H->View.LogViewerView();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const qint64 opened = clock.elapsed();
        QVERIFY2(opened < 1000, qPrintable(QString::number(opened)));
        QCOMPARE(H->Form.Viewer.Log().Size(), size_t(11000));
    }
};

QTEST_MAIN(LogViewerTest)
#include "LogViewerTest.moc"
