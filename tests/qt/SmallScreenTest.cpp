// The window on a small laptop screen, 1366x768 at 125 % scaling: it starts
// wholly on the screen with its menu bar, in every language, and what does
// not fit scrolls. Built a second time for a large screen (KELMOR_LARGE_SCREEN),
// where all of it is shown at once, without scroll bars.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "WindowHarness.h"
#include "qt/Pictures.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;

class SmallScreenTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir Dir;

  private slots:
    void initTestCase() {
        InitPictures();
        QVERIFY(Dir.isValid());
        qputenv("XDG_CONFIG_HOME", Dir.path().toLocal8Bit());
        const QScreen* screen = QGuiApplication::primaryScreen();
#ifdef KELMOR_LARGE_SCREEN
        QCOMPARE(screen->geometry().size(), QSize(1920, 1080));
#else
        // 1366x768 pixels at 1.25 are 1093x614 of the window's units.
        QCOMPARE(screen->geometry().size(), QSize(1093, 614));
#endif
    }

    void startsWhollyOnTheScreen_data() {
        QTest::addColumn<int>("language");
        for (int l = 0; l < LANGUAGE_COUNT; ++l)
            QTest::newRow(QByteArray::number(l).constData()) << l;
    }
    void startsWhollyOnTheScreen() {
        QFETCH(int, language);
        Harness h(Dir.path());
        h.Form.Language = static_cast<TLanguage>(language);
        h.Form.ApplyLanguage();
        QVERIFY(QTest::qWaitForWindowExposed(&h.View));
        QTest::qWait(400); // the placement is put right after the first show
        const QRect screen = h.View.screen()->availableGeometry();
        const QRect frame = h.View.frameGeometry();
        QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                        .arg(frame.x())
                                                        .arg(frame.y())
                                                        .arg(frame.width())
                                                        .arg(frame.height())));
        QMenuBar* bar = h.View.menuBar();
        QVERIFY(bar->isVisible());
        QVERIFY(screen.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())));
        auto* scroll = qobject_cast<QScrollArea*>(h.View.centralWidget());
        QVERIFY(scroll != nullptr);
#ifdef KELMOR_LARGE_SCREEN
        // All of it at once, down to the status bar.
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
#else
        // The rest of the controls is a scroll away.
        QVERIFY(scroll->verticalScrollBar()->isVisible());
        scroll->ensureWidgetVisible(h.W(C::StatusBar1));
#endif
        const QWidget* status = h.W(C::StatusBar1);
        const QRect shown(status->mapTo(scroll->viewport(), QPoint(0, 0)), status->size());
        QVERIFY2(scroll->viewport()->rect().contains(shown),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(shown.x())
                                .arg(shown.y())
                                .arg(shown.width())
                                .arg(shown.height())
                                .arg(scroll->viewport()->width())
                                .arg(scroll->viewport()->height())));
    }
};

int main(int argc, char** argv) {
    // A virtual screen of that size, before the application starts.
    QTemporaryDir config;
    const QString file = config.filePath(QStringLiteral("screen.json"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return 1;
#ifdef KELMOR_LARGE_SCREEN
    out.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1920, "height": 1080,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
#else
    out.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_SCALE_FACTOR", "1.25");
#endif
    out.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toLocal8Bit());
    QApplication app(argc, argv);
    SmallScreenTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SmallScreenTest.moc"
