// The advance chart as an editor on the offscreen platform: real mouse
// events drag a point, its edits follow, the release is one commit through
// the window's logic; a click picks a point and the arrow keys move it.
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "WindowHarness.h"
#include "qt/CurveChartWidget.h"
#include "qt/Pictures.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;

class ChartEditTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir Dir;
    std::unique_ptr<Harness> H;

    TIgnParams& P() { return H->Form.Params(); }
    CurveChartWidget* Chart() { return H->View.ChartWidget(); }
    QString EditText(C id) { return H->Edit(id)->text(); }

  private slots:
    void initTestCase() {
        InitPictures();
        QVERIFY(Dir.isValid());
        qputenv("XDG_CONFIG_HOME", Dir.path().toLocal8Bit());
    }
    void init() {
        H = std::make_unique<Harness>(Dir.path());
        QVERIFY(QTest::qWaitForWindowActive(&H->View));
        P().PocetBodu = 4;
        const uint8_t rpm[4] = {10, 20, 30, 40};
        for (int k = 0; k < 4; ++k) {
            P().RpmAdv[k] = rpm[k];
            P().Advance[k] = static_cast<uint8_t>(10 + k);
        }
        H->Form.ApplyEdit();
        H->Form.UndoReset();
        QCoreApplication::processEvents();
    }
    void cleanup() { H.reset(); }

    void aDragMovesThePointAndItsEditsFollow() {
        CurveChartWidget* chart = Chart();
        const QPoint from = chart->PointPosition(1).toPoint();
        QTest::mousePress(chart, Qt::LeftButton, {}, from);
        QCOMPARE(H->Form.Chart.Selected(), 1);
        QPoint to;
        for (int advance : {12, 14, 15}) {
            to = chart->PositionOf(2500, advance).toPoint();
            QTest::mouseMove(chart, to);
            QCOMPARE(EditText(C::EditAdvance2), QString::number(advance));
            // The set waits for the release; the chart shows the point where it goes.
            QCOMPARE(int(P().Advance[1]), 11);
            QCOMPARE(H->Form.Chart.PointAt(1).Advance, advance);
        }
        // At the top of the plot the axis makes room, so the point climbs on.
        to = QPoint(to.x(), 1);
        QTest::mouseMove(chart, to);
        QTest::mouseMove(chart, to + QPoint(1, 0));
        QVERIFY(H->Form.Chart.PointAt(1).Advance > 15);
        to = chart->PositionOf(2500, 25).toPoint();
        QTest::mouseMove(chart, to);
        QCOMPARE(EditText(C::EditAdvance2), QStringLiteral("25"));
        const QString rpm = EditText(C::EditRpmAdv2);
        QVERIFY2(rpm == "2 400" || rpm == "2 500" || rpm == "2 600", qPrintable(rpm));
        QVERIFY(!H->S(C::SpeedButtonZpet).Enabled);
        QTest::mouseRelease(chart, Qt::LeftButton, {}, to);
        QCOMPARE(int(P().Advance[1]), 25);
        QCOMPARE(QString::number(P().RpmAdv[1] * 100), QString(rpm).remove(' '));
        QCOMPARE(EditText(C::EditRpmAdv2), rpm);
        // One commit: one undo step takes the whole drag back.
        QVERIFY(H->S(C::SpeedButtonZpet).Enabled);
        QTest::keyClick(&H->View, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(P().Advance[1]), 11);
        QCOMPARE(int(P().RpmAdv[1]), 20);
        QVERIFY(!H->S(C::SpeedButtonZpet).Enabled);
        QCOMPARE(EditText(C::EditAdvance2), QStringLiteral("11"));
    }

    void aPointStaysBetweenItsNeighbours() {
        CurveChartWidget* chart = Chart();
        QTest::mousePress(chart, Qt::LeftButton, {}, chart->PointPosition(1).toPoint());
        const QPoint far = chart->PositionOf(9000, 12).toPoint();
        QTest::mouseMove(chart, far);
        QTest::mouseRelease(chart, Qt::LeftButton, {}, far);
        QCOMPARE(int(P().RpmAdv[1]), 29); // below point 3 at 3000 rpm
        QCOMPARE(EditText(C::EditRpmAdv3), QStringLiteral("3 000"));
    }

    void aClickPicksAndTheArrowKeysStep() {
        CurveChartWidget* chart = Chart();
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->PointPosition(2).toPoint());
        QCOMPARE(H->Form.Chart.Selected(), 2);
        QVERIFY(!H->S(C::SpeedButtonZpet).Enabled); // a click changes nothing
        QVERIFY(chart->hasFocus());
        QTest::keyClick(chart, Qt::Key_Up);
        QTest::keyClick(chart, Qt::Key_Up);
        QTest::keyClick(chart, Qt::Key_Right);
        QCOMPARE(int(P().Advance[2]), 14);
        QCOMPARE(int(P().RpmAdv[2]), 31);
        QCOMPARE(EditText(C::EditAdvance3), QStringLiteral("14"));
        QCOMPARE(EditText(C::EditRpmAdv3), QStringLiteral("3 100"));
        QTest::keyClick(chart, Qt::Key_Left);
        QTest::keyClick(chart, Qt::Key_Down);
        QCOMPARE(int(P().Advance[2]), 13);
        QCOMPARE(int(P().RpmAdv[2]), 30);
    }

    void escapePutsTheDraggedPointBack() {
        CurveChartWidget* chart = Chart();
        QTest::mousePress(chart, Qt::LeftButton, {}, chart->PointPosition(3).toPoint());
        chart->setFocus();
        QTest::mouseMove(chart, chart->PositionOf(4000, 11).toPoint());
        QCOMPARE(EditText(C::EditAdvance4), QStringLiteral("11"));
        QTest::keyClick(chart, Qt::Key_Escape);
        QCOMPARE(EditText(C::EditAdvance4), QStringLiteral("13"));
        QTest::mouseRelease(chart, Qt::LeftButton, {}, chart->PositionOf(4000, 11).toPoint());
        QCOMPARE(int(P().Advance[3]), 13);
        QVERIFY(!H->S(C::SpeedButtonZpet).Enabled);
    }
};

QTEST_MAIN(ChartEditTest)
#include "ChartEditTest.moc"
