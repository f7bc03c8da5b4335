// Controls the window does not show at start are made when first shown:
// curve rows the point count brings in, the test labels of the test mode,
// the status line of the first transfer. Each then looks as if it had been
// there all along: shown, placed, filled and in the Tab order.
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>

#include "WindowHarness.h"
#include "link/TDeviceImage.h"
#include "qt/Pictures.h"
#include "storage/StartupImage.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;

class OnDemandTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<Harness> H;

    // The last session left a set of three points.
    void StartWithThreePoints(bool testMode) {
        Dir = std::make_unique<QTemporaryDir>();
        QVERIFY(Dir->isValid());
        TDeviceImage image{};
        SetDefaults(image.Params);
        image.Params.PocetBodu = 3;
        std::ofstream(Dir->filePath(QStringLiteral("_kelmor.ini")).toStdString(), std::ios::binary)
            << WriteStartupImage(ConstImageBytes(image.Bytes(), STARTUP_IMAGE_SIZE));
        if (testMode)
            std::ofstream(Dir->filePath(QStringLiteral("test_brelin.txt")).toStdString())
                << "DIAG_UNLOCK";
        H = std::make_unique<Harness>(Dir->path());
        QVERIFY(QTest::qWaitForWindowActive(&H->View));
    }

  private slots:
    void initTestCase() { InitPictures(); }
    void cleanup() {
        H.reset();
        Dir.reset();
    }

    void curveRowsComeInWithThePointCount() {
        StartWithThreePoints(false);
        Harness& h = *H;
        QCOMPARE(int(h.Form.Params().PocetBodu), 3);
        QVERIFY(h.W(C::EditAdvance3)->isVisible());
        QTest::mouseClick(h.W(C::UpDownPocetBodu), Qt::LeftButton, {},
                          QPoint(8, 4)); // the upper arrow
        QTest::mouseClick(h.W(C::UpDownPocetBodu), Qt::LeftButton, {}, QPoint(8, 4));
        QCOMPARE(int(h.Form.Params().PocetBodu), 5);
        for (C id : {C::EditRpmAdv4, C::EditAdvance4, C::UpDownRpmAdv4, C::EditRpmAdv5}) {
            QWidget* w = h.W(id);
            QVERIFY2(w->isVisible(), ControlName(id));
            const ControlLayout& row = LayoutOf(id);
            QCOMPARE(w->geometry(), QRect(row.Left, row.Top, row.Width, row.Height));
        }
        QCOMPARE(h.Edit(C::EditRpmAdv5)->text(),
                 QString::fromStdString(h.S(C::EditRpmAdv5).Caption));
        QVERIFY(!h.W(C::EditRpmAdv6)->isVisible());
        // Enter walks into the new rows.
        h.View.FocusControl(C::EditAdvance3);
        h.PressEnter();
        QCOMPARE(h.Focused(), C::EditRpmAdv4);
        h.PressEnter();
        QCOMPARE(h.Focused(), C::EditAdvance4);
    }

    void testLabelsShowInTestMode() {
        StartWithThreePoints(true);
        Harness& h = *H;
        QVERIFY(h.Form.TestMode);
        for (int n = 1; n <= 8; ++n) {
            auto* label = static_cast<QLabel*>(h.W(TestLabel(n)));
            QVERIFY(label->isVisible());
            QCOMPARE(label->text(), QStringLiteral("Test%1 = ---").arg(n));
        }
    }

    void theStatusLineOfTheFirstTransferShows() {
        StartWithThreePoints(false);
        Harness& h = *H;
        QVERIFY(!h.S(C::LabelHlaseni).Visible);
        h.Form.MenuReadClick();
        auto* status = static_cast<QLabel*>(h.W(C::LabelHlaseni));
        QVERIFY(status->isVisible());
        QCOMPARE(status->text(), QStringLiteral("Read:"));
        QVERIFY(h.W(C::CGaugeProgram)->isVisible());
    }
};

QTEST_MAIN(OnDemandTest)
#include "OnDemandTest.moc"
