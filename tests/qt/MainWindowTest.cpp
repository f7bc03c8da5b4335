// The main window on the offscreen platform: keys, spinners, hints and the
// tick, through the real widgets and the real handlers.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WindowHarness.h"
#include "qt/CurveChartWidget.h"
#include "qt/MainWindow.h"
#include "qt/Pictures.h"
#include "qt/QtPlatform.h"
#include "qt/TFormAbout.h"
#include "ui/Layout.h"
#include "ui/TFormHlav.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir Dir;
    std::unique_ptr<Harness> H;
    std::unique_ptr<ModalAnswerer> Modals;

    // Hands every modal window that opens to `answer`, which must close it.
    void AnswerModals(std::function<void(QWidget*)> answer) {
        Modals = std::make_unique<ModalAnswerer>(std::move(answer));
    }

  private slots:
    void initTestCase() {
        InitPictures();
        QVERIFY(Dir.isValid());
        qputenv("XDG_CONFIG_HOME", Dir.path().toLocal8Bit());
    }
    void init() {
        H = std::make_unique<Harness>(Dir.path());
        QVERIFY(QTest::qWaitForWindowActive(&H->View));
    }
    void cleanup() {
        Modals.reset();
        H.reset();
    }

    void enterWalksTheTabOrderAndWraps() {
        Harness& h = *H;
        QCOMPARE(int(h.Form.Params().PocetBodu), 15);
        h.View.FocusControl(C::EditRpmAdv1);
        QCOMPARE(h.Focused(), C::EditRpmAdv1);
        const auto& order = TabOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            const C from = order[i];
            const C to = order[(i + 1) % order.size()];
            QCOMPARE(h.Focused(), from);
            const QString before = from == C::RadioGroupPolarita ? QString() : h.Edit(from)->text();
            h.PressEnter(i % 2 == 1); // Return and keypad Enter alike
            QVERIFY2(h.Focused() == to, ControlName(from));
            // Enter is consumed: nothing typed into the edit it left.
            if (from != C::RadioGroupPolarita) QCOMPARE(h.Edit(from)->text(), before);
        }
        QCOMPARE(h.Focused(), C::EditRpmAdv1);
    }

    void enterSkipsHiddenRows() {
        Harness& h = *H;
        h.Type(C::EditPocetBodu, "3");
        h.PressEnter();
        QCOMPARE(int(h.Form.Params().PocetBodu), 3);
        QVERIFY(h.W(C::EditRpmAdv3)->isVisible());
        QVERIFY(!h.W(C::EditRpmAdv4)->isVisible());
        QVERIFY(!h.W(C::UpDownAdvance4)->isVisible());
        h.View.FocusControl(C::EditRpmAdv3);
        h.PressEnter();
        QCOMPARE(h.Focused(), C::EditAdvance3);
        h.PressEnter();
        QCOMPARE(h.Focused(), C::EditPocetBodu);
        h.View.FocusControl(C::EditOmez2);
        h.PressEnter();
        QCOMPARE(h.Focused(), C::EditRpmAdv1);
    }

    void typedSpeedIsTruncatedAndGrouped() {
        Harness& h = *H;
        TIgnParams& p = h.Form.Params();
        p.RpmAdv[0] = 6;
        p.RpmAdv[1] = 10;
        h.Form.ShowParams();
        h.Type(C::EditRpmAdv3, "1250");
        QCOMPARE(h.Edit(C::EditRpmAdv3)->text(), QStringLiteral("1250"));
        h.PressEnter();
        QCOMPARE(int(p.RpmAdv[2]), 12);
        QCOMPARE(h.Edit(C::EditRpmAdv3)->text(), QStringLiteral("1 200"));
        QCOMPARE(h.Focused(), C::EditAdvance3);
    }

    void lettersKeepThePreviousValue() {
        Harness& h = *H;
        QCOMPARE(int(h.Form.Params().Advance[0]), 10);
        h.Type(C::EditAdvance1, "abc");
        // The edit takes any text; only the commit refuses it.
        QCOMPARE(h.Edit(C::EditAdvance1)->text(), QStringLiteral("abc"));
        h.PressEnter();
        QCOMPARE(int(h.Form.Params().Advance[0]), 10);
        QCOMPARE(h.Edit(C::EditAdvance1)->text(), QStringLiteral("10"));
    }

    void leavingAnEditCommitsIt() {
        Harness& h = *H;
        h.Type(C::EditAdvance2, "17");
        h.Edit(C::EditBaseAdv)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(int(h.Form.Params().Advance[1]), 17);
        QVERIFY(h.S(C::SpeedButtonZpet).Enabled);
        QVERIFY(h.W(C::SpeedButtonZpet)->isEnabled());
    }

    void aMessageBoxIsNoExitOfTheEdit() {
        Harness& h = *H;
        h.Type(C::EditAdvance2, "17");
        // A real modal box takes the focus from the window without a commit.
        QTimer::singleShot(200, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        h.Platform.QtPlatform::MessageBox("box");
        QCOMPARE(int(h.Form.Params().Advance[1]), 10);
    }

    void spinnersStopAtTheirRange_data() {
        QTest::addColumn<int>("updown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("base advance at 40") << Index(C::UpDownBaseAdv) << "40"
                                            << "40";
        QTest::newRow("limiter at 25000") << Index(C::UpDownOmez2) << "25000"
                                          << "25 000";
        // The speed spinner stays at 20100; the commit then brings the first
        // point to its own bound.
        QTest::newRow("speed at 20100") << Index(C::UpDownRpmAdv1) << "20100"
                                        << "18 600";
    }
    void spinnersStopAtTheirRange() {
        QFETCH(int, updown);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Harness& h = *H;
        const C id = static_cast<C>(updown);
        const C edit = LayoutOf(id).Buddy;
        h.Type(edit, typed);
        QWidget* arrows = h.W(id);
        // The upper half of the arrows, as a click of the mouse.
        QTest::mousePress(arrows, Qt::LeftButton, {}, QPoint(arrows->width() / 2, 3));
        QTest::mouseRelease(arrows, Qt::LeftButton, {}, QPoint(arrows->width() / 2, 3));
        QCOMPARE(h.Edit(edit)->text(), shown);
        QVERIFY(h.S(id).Position <= h.S(id).Max);
        // The up arrow key of the edit steps the same way.
        h.Edit(edit)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(h.Edit(edit), Qt::Key_Up);
        QCOMPARE(h.Edit(edit)->text(), shown);
    }

    void arrowKeysStepAndCommit() {
        Harness& h = *H;
        h.Edit(C::EditRpmAdv1)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(h.Edit(C::EditRpmAdv1), Qt::Key_Up);
        QCOMPARE(int(h.Form.Params().RpmAdv[0]), 11);
        QCOMPARE(h.Edit(C::EditRpmAdv1)->text(), QStringLiteral("1 100"));
        QTest::keyClick(h.Edit(C::EditRpmAdv1), Qt::Key_Down);
        QTest::keyClick(h.Edit(C::EditRpmAdv1), Qt::Key_Down);
        QCOMPARE(int(h.Form.Params().RpmAdv[0]), 9);
        QCOMPARE(h.Edit(C::EditRpmAdv1)->text(), QStringLiteral("900"));
    }

    void menuShortcutsWinOverTheEdit() {
        Harness& h = *H;
        h.Type(C::EditAdvance1, "15");
        h.PressEnter();
        QCOMPARE(int(h.Form.Params().Advance[0]), 15);
        // Ctrl+Z inside an edit is the program's undo, not the edit's own.
        h.Edit(C::EditAdvance2)->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(h.Edit(C::EditAdvance2), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(h.Form.Params().Advance[0]), 10);
        QTest::keyClick(h.Edit(C::EditAdvance2), Qt::Key_Z,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(int(h.Form.Params().Advance[0]), 10);
        QTest::keyClick(h.Edit(C::EditAdvance2), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(int(h.Form.Params().Advance[0]), 15);
    }

    void checkBoxCommitsAfterItToggles() {
        Harness& h = *H;
        QWidget* box = h.W(C::CheckBoxProgHned);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(h.S(C::CheckBoxProgHned).Checked);
        QCOMPARE(h.S(C::CheckBoxProgHned).Background, Colour::Red);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(!h.S(C::CheckBoxProgHned).Checked);
        QCOMPARE(h.S(C::CheckBoxProgHned).Background, Colour::ButtonFace);
    }

    void radioClickStoresPolarity() {
        Harness& h = *H;
        auto buttons = h.W(C::RadioGroupPolarita)->findChildren<QAbstractButton*>();
        QCOMPARE(buttons.size(), 3);
        QCOMPARE(int(h.Form.Params().Polarita), 2);
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        QCOMPARE(int(h.Form.Params().Polarita), 0);
        QVERIFY(h.S(C::SpeedButtonZpet).Enabled);
    }

    void statusBarShowsTheLongHint() {
        Harness& h = *H;
        auto* text = h.W(C::StatusBar1)->findChild<QLabel*>();
        QVERIFY(text != nullptr);
        // The test pointer enters the window without an Enter event; the
        // first move only tells Qt where it is.
        h.Hover(h.W(C::LabelRpm));
        h.Hover(h.W(C::SpeedButton7));
        QCOMPARE(h.S(C::StatusBar1).Caption, std::string("Save parametrs to file"));
        QCOMPARE(text->text(), QStringLiteral("Save parametrs to file"));
        // A control without a hint, in a group box without one: empty.
        h.Hover(h.W(C::LabelRpm));
        QCOMPARE(h.S(C::StatusBar1).Caption, std::string());
        h.Hover(h.W(C::BitBtnAdvPlus));
        QVERIFY(!h.S(C::StatusBar1).Caption.empty());
        h.Hover(h.W(C::EditAdvance1));
        QCOMPARE(h.S(C::StatusBar1).Caption, std::string());
        // A highlighted menu item.
        h.View.Action(C::MenuAdvanceMinus)->hover();
        QCOMPARE(h.S(C::StatusBar1).Caption, std::string("Take off 1 degree of curve A"));
    }

    // A disabled item (Undo with nothing to undo) shows its own hint, none,
    // instead of leaving the previous item's.
    void menuHintFollowsDisabledItems() {
        Harness& h = *H;
        QMenu* tools = h.View.Action(C::MenuTools)->menu();
        QAction* minus = h.View.Action(C::MenuAdvanceMinus);
        QAction* undo = h.View.Action(C::MenuZpet);
        QVERIFY(!undo->isEnabled());
        tools->popup(h.View.mapToGlobal(QPoint(300, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(tools));
        QTest::mouseMove(tools, tools->actionGeometry(minus).center());
        QTRY_COMPARE(h.S(C::StatusBar1).Caption, std::string("Take off 1 degree of curve A"));
        QTest::mouseMove(tools, tools->actionGeometry(undo).center());
        QTRY_COMPARE(h.S(C::StatusBar1).Caption, std::string());
        tools->hide();
    }

    void tooltipsOnlyWhereListed() {
        Harness& h = *H;
        // Give every control a hint, so that only the switch decides.
        for (int i = 0; i < CONTROL_COUNT; ++i)
            h.Form.Model().SetHint(static_cast<C>(i), "short|long");
        for (int i = 0; i < CONTROL_COUNT; ++i) {
            const C id = static_cast<C>(i);
            QWidget* w = h.View.Widget(id);
            if (w == nullptr || id == C::FormHlav) continue;
            const QString expected =
                LayoutOf(id).ShowsTooltip ? QStringLiteral("short") : QString();
            QVERIFY2(w->toolTip() == expected, ControlName(id));
        }
        for (C id :
             {C::SpeedButton5, C::SpeedButton6, C::SpeedButton7, C::SpeedButtonPrint, C::ButtonRead,
              C::ButtonVerify, C::ButtonProgram, C::LabelVerze1, C::LabelVerze2, C::LabelVerze3,
              C::BitBtnAdvMinus, C::BitBtnAdvPlus, C::CheckBoxProgHned})
            QVERIFY2(h.W(id)->toolTip() == QStringLiteral("short"), ControlName(id));
    }

    void timerTicksWhileABoxIsOpen() {
        Harness& h = *H;
        const int before = h.View.Ticks();
        QTimer::singleShot(600, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        h.Platform.QtPlatform::MessageBox("Waiting");
        // 600 ms is about eleven ticks; the nested loop must have run them.
        QVERIFY2(h.View.Ticks() - before >= 5,
                 qPrintable(QString::number(h.View.Ticks() - before)));
        // The tick showed the no-connection label meanwhile (18 ticks without a frame).
        QTRY_VERIFY(h.W(C::LabelSpojeni)->isVisible());
    }

    void gaugesKeepToTheirRange() {
        Harness& h = *H;
        auto* rpm = static_cast<QProgressBar*>(h.W(C::CGaugeRpm));
        QCOMPARE(rpm->maximum(), 100);
        QVERIFY(!rpm->isTextVisible());
        h.Form.Model().SetProgress(C::CGaugeRpm, 150);
        QCOMPARE(rpm->value(), 100);
        auto* program = static_cast<QProgressBar*>(h.W(C::CGaugeProgram));
        QCOMPARE(program->maximum(), 3);
        QVERIFY(program->isTextVisible());
        h.Form.Model().SetProgress(C::CGaugeProgram, 2);
        QCOMPARE(program->text(), QStringLiteral("66%"));
    }

    void printLookHidesTheToolBar() {
        Harness& h = *H;
        h.Form.Printing = true;
        h.Form.UpdateVisibility();
        QVERIFY(!h.W(C::GroupBoxToolBar)->isVisible());
        QVERIFY(!h.W(C::UpDownRpmAdv1)->isVisible());
        QVERIFY(h.W(C::EditRpmAdv1)->isVisible());
        QCOMPARE(h.View.ClientArea()->palette().color(QPalette::Window), QColor(255, 255, 255));
        h.Form.Printing = false;
        h.Form.UpdateVisibility();
        QVERIFY(h.W(C::GroupBoxToolBar)->isVisible());
        QVERIFY(h.W(C::UpDownRpmAdv1)->isVisible());
    }

    // The printed page, rendered into a PDF: one page in the paper look, and
    // the normal look back afterwards.
    void printedPageShowsThePaperLook() {
        Harness& h = *H;
        const QString pdf = Dir.filePath("page.pdf");
        h.Platform.SetPrintToFile(pdf.toStdString());
        h.Platform.Boxes.clear();
        h.Form.SpeedButtonPrintClick();
        QVERIFY(!h.Form.Printing);
        QVERIFY(h.W(C::GroupBoxToolBar)->isVisible());
        QVERIFY(h.S(C::LabelHlaseni).Caption.starts_with("Date and time of printing:  "));
        QVERIFY(h.Platform.Boxes.empty());

        QProcess info;
        info.start("pdfinfo", {pdf});
        QVERIFY(info.waitForFinished(10000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString png = Dir.filePath("page");
        QCOMPARE(QProcess::execute("pdftoppm", {"-png", "-r", "40", "-singlefile", pdf, png}), 0);
        QImage page(png + ".png");
        QVERIFY(!page.isNull());
        // The window fills the page width (it is wider than the page's shape)
        // and the tool bar's place at its top-left is white paper.
        const double scale = page.width() / 920.0;
        auto white = [&page](int x, int y) {
            const QColor c = page.pixelColor(x, y);
            return c.red() > 245 && c.green() > 245 && c.blue() > 245;
        };
        QVERIFY(white(int(200 * scale), int(20 * scale)));
        QVERIFY(white(int(900 * scale), int(640 * scale)));
        // Below the window's image the page stays empty.
        QVERIFY(white(page.width() / 2, page.height() - 2));
    }

    void printWithoutAPrinterRestoresTheLook() {
        Harness& h = *H;
        h.Platform.SetPrintToFile("/nonexistent-folder/page.pdf");
        h.Platform.Boxes.clear();
        h.Form.SpeedButtonPrintClick();
        QVERIFY(!h.Form.Printing);
        QCOMPARE(h.Platform.Boxes.size(), size_t(1));
        QVERIFY(h.W(C::GroupBoxToolBar)->isVisible());
        QCOMPARE(h.View.ClientArea()->palette().color(QPalette::Window) == QColor(255, 255, 255),
                 false);
    }

    void pageFitFollowsTheWindowShape_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("outW");
        QTest::addColumn<int>("outH");
        // Page 1000 x 1400.
        QTest::newRow("wide window: full page width") << 920 << 676 << 1000 << 734;
        QTest::newRow("tall window: full page height") << 500 << 1000 << 700 << 1400;
        QTest::newRow("page's own shape: full width") << 500 << 700 << 1000 << 1400;
    }
    void pageFitFollowsTheWindowShape() {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, outW);
        QFETCH(int, outH);
        long long fw = 0, fh = 0;
        FitToPage(w, h, 1000, 1400, fw, fh);
        QCOMPARE(fw, outW);
        QCOMPARE(fh, outH);
    }

    // The chart lies where nothing else the window shows does, and paints
    // only when something changed.
    void chartFillsTheFreeAreaAndPaintsOnChange() {
        Harness& h = *H;
        CurveChartWidget* chart = h.View.ChartWidget();
        QVERIFY(chart != nullptr);
        QCOMPARE(chart->geometry(), QRect(565, 300, 350, 255));
        QVERIFY(chart->isVisible());
        for (C id : {C::LabelLog, C::ImageCurve}) {
            QWidget* mine = h.W(id);
            h.Form.Model().SetVisible(id, true);
            for (int i = 0; i < CONTROL_COUNT; ++i) {
                QWidget* w = h.View.Widget(static_cast<C>(i));
                if (w == nullptr || w == mine || !w->isVisible() ||
                    w->parentWidget() != h.View.ClientArea() || static_cast<C>(i) == C::FormHlav)
                    continue;
                QVERIFY2(!w->geometry().intersects(mine->geometry()),
                         ControlName(static_cast<C>(i)));
            }
        }
        QTRY_VERIFY(chart->Paints() > 0);
        QTest::qWait(400); // ticks with nothing new: no painting
        const int quiet = chart->Paints();
        QTest::qWait(400);
        QCOMPARE(chart->Paints(), quiet);
        h.Form.Params().Advance[0] = 33;
        h.Form.ApplyEdit(); // repaints without waiting for a tick
        QCOMPARE(h.Form.Chart.PointAt(0).Advance, 33);
        QTRY_VERIFY(chart->Paints() > quiet);
    }

    void newItemsInTheirMenus() {
        Harness& h = *H;
        QMenu* file = h.View.Action(C::MenuFile)->menu();
        QStringList order;
        for (QAction* a : file->actions())
            order << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(order, QStringList({"&New", "-", "&Open", "-", "&Save", "-", "&Print", "-",
                                     "Workshop &record (PDF)...", "Co&mpare with file...",
                                     "Open &backup...", "-", "E&xit"}));
        QAction* log = h.View.Action(C::MenuLog);
        QCOMPARE(log->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
        QVERIFY(log->isCheckable());
        log->trigger();
        QVERIFY(h.Form.Log.Running());
        QVERIFY(log->isChecked());
        QVERIFY(h.W(C::LabelLog)->isVisible());
        QVERIFY(static_cast<QLabel*>(h.W(C::LabelLog))->text().startsWith("Logging to monitor-"));
        log->trigger();
        QVERIFY(!h.Form.Log.Running());
        QVERIFY(!log->isChecked());
        QVERIFY(!h.W(C::LabelLog)->isVisible());
    }

    // Opening the Com menu asks the system what is behind each number and
    // shows it right of the caption, each time anew.
    void comMenuShowsWhatIsBehindEachNumber() {
        Harness& h = *H;
        QMenu* com = h.View.Action(C::MenuCom)->menu();
        QVERIFY(com != nullptr);
        QAction* com1 = h.View.Action(C::MenuCom1);
        QCOMPARE(com1->text(), QStringLiteral("Com &1"));
        for (const bool sim : {true, false}) {
            h.Platform.SetSimulatedCom1(sim);
            com->popup(QPoint(0, 0));
            QTRY_VERIFY(com->isVisible());
            const QString text = com1->text();
            com->close();
            QVERIFY2(text.startsWith(QStringLiteral("Com &1\t")), qPrintable(text));
            QCOMPARE(text == QStringLiteral("Com &1\tsimulated unit"), sim);
        }
    }

    // Every control the user can reach has a name a screen reader says, in
    // the window's language; the curve's edits and the two tachometer edits
    // each their own.
    void everyControlHasAnAccessibleName() {
        Harness& h = *H;
        using K = ControlKind;
        auto name = [](QWidget* w) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            return a != nullptr ? a->text(QAccessible::Name) : QString();
        };
        void (TFormHlav::*languages[])() = {&TFormHlav::MenuGermanClick,
                                            &TFormHlav::MenuFrenchClick, &TFormHlav::MenuCzechClick,
                                            &TFormHlav::MenuEnglishClick};
        for (auto language : languages) {
            (h.Form.*language)();
            for (int i = 0; i < CONTROL_COUNT; ++i) {
                const auto id = static_cast<C>(i);
                const K kind = LayoutOf(id).Kind;
                QWidget* w = h.W(id);
                if (w == nullptr) continue;
                if (kind == K::RadioGroup) {
                    for (QRadioButton* r : w->findChildren<QRadioButton*>())
                        QVERIFY2(!name(r).isEmpty(), ControlName(id));
                } else if (kind == K::Edit || kind == K::UpDown || kind == K::CheckBox ||
                           kind == K::ComboBox || kind == K::Button || kind == K::ToolButton ||
                           id == C::ImageCurve) {
                    QVERIFY2(!name(w).isEmpty(), ControlName(id));
                }
            }
        }
        const struct {
            void (TFormHlav::*Language)();
            C Id;
            const char* Name;
        } cases[] = {
            {&TFormHlav::MenuEnglishClick, C::EditRpmAdv3, "Engine speed of point 3"},
            {&TFormHlav::MenuEnglishClick, C::EditAdvance3, "Advance of point 3"},
            {&TFormHlav::MenuEnglishClick, C::EditRpmPulsu,
             "Tachometer output: Pulses per revolution"},
            {&TFormHlav::MenuEnglishClick, C::EditRpmKorekce, "Tachometer output: Correction [%]"},
            {&TFormHlav::MenuEnglishClick, C::SpeedButton5, "Open"},
            {&TFormHlav::MenuGermanClick, C::EditRpmAdv3, "Drehzahl von Punkt 3"},
            {&TFormHlav::MenuFrenchClick, C::UpDownAdvance7, "Avance du point 7, haut et bas"},
            {&TFormHlav::MenuCzechClick, C::ImageCurve, "Křivka předstihu"},
        };
        for (const auto& c : cases) {
            (h.Form.*c.Language)();
            QCOMPARE(name(h.W(c.Id)), QString::fromUtf8(c.Name));
        }
    }

    // Qt's own texts (the buttons of its dialogs) follow the program's language.
    void qtsOwnTextsFollowTheLanguage() {
        Harness& h = *H;
        const struct {
            void (TFormHlav::*Language)();
            const char* Cancel;
        } cases[] = {{&TFormHlav::MenuGermanClick, "Abbrechen"},
                     {&TFormHlav::MenuFrenchClick, "Annuler"},
                     {&TFormHlav::MenuCzechClick, "Zrušit"},
                     {&TFormHlav::MenuEnglishClick, "Cancel"}};
        for (const auto& c : cases) {
            (h.Form.*c.Language)();
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')),
                     QString::fromUtf8(c.Cancel));
        }
    }

    // The record: one page, the window and every parameter in words.
    void recordIsOnePdfPageWithTheParameters() {
        Harness& h = *H;
        h.Form.MenuGermanClick();
        h.Platform.PdfPath = Dir.filePath("record.pdf").toStdString();
        h.Platform.Boxes.clear();
        h.Form.MenuRecordClick();
        QVERIFY(h.Platform.Boxes.empty());
        QVERIFY(!h.Form.Printing);
        QVERIFY(h.W(C::GroupBoxToolBar)->isVisible());

        QProcess info;
        info.start("pdfinfo", {Dir.filePath("record.pdf")});
        QVERIFY(info.waitForFinished(10000));
        const QString meta = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(meta.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(meta));
        QVERIFY(meta.contains("Werkstattprotokoll"));
        QProcess text;
        text.start("pdftotext", {"-layout", Dir.filePath("record.pdf"), "-"});
        QVERIFY(text.waitForFinished(10000));
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected :
             {"Werkstattprotokoll", "Programmverion der Zündung:", "Letzte Übertragung:",
              "keine seit dem Start", "Basis Vorzündung:", "10°", "Begrenzer:", "15 000 rpm",
              "Polarität des CPS:", "Automatisch", "Schaltautomat Pause:", "1 000 ms",
              "Drehzählerausgang, Korrektion:", "Punkt", "Vorzündung [°]"})
            QVERIFY2(page.contains(QString::fromUtf8(expected)), expected);
    }

    void recordThatCannotBeWrittenSaysSo() {
        Harness& h = *H;
        h.Platform.PdfPath = "/nonexistent-folder/record.pdf";
        h.Platform.Boxes.clear();
        h.Form.MenuRecordClick();
        QCOMPARE(h.Platform.Boxes.size(), size_t(1));
        QVERIFY(h.Platform.Boxes[0].starts_with(
            "The workshop record could not be written:\n/nonexistent-folder/record.pdf"));
        QVERIFY(!h.Form.Printing);
        QVERIFY(h.W(C::GroupBoxToolBar)->isVisible());
    }

    void compareShowsOnlyTheDifferencesInATable() {
        Harness& h = *H;
        QFile file(Dir.filePath("other.ign"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("KALDIMER_KEY   67 \r\n\r\nBASE_ADV      14 ");
        file.close();
        QStringList cells;
        QString title;
        h.Platform.OpenPath = Dir.filePath("other.ign").toStdString();
        AnswerModals([&](QWidget* box) {
            title = box->windowTitle();
            if (auto* table = box->findChild<QTableWidget*>())
                for (int r = 0; r < table->rowCount(); ++r)
                    for (int c = 0; c < table->columnCount(); ++c)
                        cells << table->item(r, c)->text();
            box->close();
        });
        h.Platform.Boxes.clear();
        h.Form.MenuCompareClick();
        QVERIFY(h.Platform.Boxes.empty());
        QCOMPARE(title, "Differences from " + Dir.filePath("other.ign"));
        QCOMPARE(cells, QStringList({"Base advance", "10°", "14°"}));
    }

    void openBackupStartsInTheBackupsFolderWithTheNewest() {
        Harness& h = *H;
        const QString folder = QString::fromStdString(h.Form.BackupFolder());
        QVERIFY(QDir().mkpath(folder));
        for (const char* name : {"a_2026-01-01_10-00-00.ign", "b_2026-02-01_10-00-00.ign"}) {
            QFile f(folder + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("KALDIMER_KEY   67 \r\n\r\nBASE_ADV      17 ");
            f.close();
            QTest::qWait(20);
        }
        QString shownFolder, selected;
        AnswerModals([&](QWidget* box) {
            auto* d = qobject_cast<QFileDialog*>(box);
            if (d == nullptr) return box->close(), void();
            shownFolder = d->directory().absolutePath();
            selected = d->selectedFiles().value(0);
            static_cast<QDialog*>(d)->accept();
        });
        h.Form.MenuBackupsClick();
        QCOMPARE(shownFolder, QDir(folder).absolutePath());
        QCOMPARE(selected, folder + "/b_2026-02-01_10-00-00.ign");
        QCOMPARE(int(h.Form.Params().BaseAdv), 17);
        QCOMPARE(h.S(C::LabelFile2).Caption, selected.toStdString());
    }

    void aboutWindow() {
        TFormAbout about;
        QCOMPARE(about.LabelRsKey->text(), QStringLiteral("Version - 67"));
        QCOMPARE(about.LabelDate->text().size(), 11); // "Jun 14 2007"
        QTimer::singleShot(200, &about, [&about] {
            QCOMPARE(about.windowTitle(), QStringLiteral("ZEV   Torvanic"));
            QTest::mouseClick(about.LabelExit, Qt::LeftButton);
        });
        QTimer::singleShot(3000, &about, [&about] { about.reject(); }); // safety net
        QElapsedTimer clock;
        clock.start();
        about.exec();
        QVERIFY(clock.elapsed() < 2500);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
