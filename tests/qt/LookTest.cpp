// The window's look with the font built into the program: every text shown
// fits its control in every language and with every digit grouping, the
// warning check boxes are red all over, and the edits are drawn as edits.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>

#include "WindowHarness.h"
#include "qt/Fonts.h"
#include "qt/Pictures.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;
using K = ControlKind;

namespace {

// A caption as shown: "&" marks the keyboard letter, "&&" is one "&".
QString Shown(const QString& caption) {
    QString s;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
        s += caption[i];
    }
    return s;
}

// Room for text in an edit, as QLineEdit lays it out: inside the frame and
// the text margins, less the 2 pixels it keeps free at each side.
int EditRoom(const QLineEdit& edit) {
    QStyleOptionFrame opt;
    opt.initFrom(&edit);
    opt.rect = edit.rect();
    opt.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &edit) : 0;
    opt.state |= QStyle::State_Sunken;
    const QRect r = edit.style()
                        ->subElementRect(QStyle::SE_LineEditContents, &opt, &edit)
                        .marginsRemoved(edit.textMargins());
    return r.width() - 2 * 2;
}

// Room for the caption of a push button, a check box or a radio item.
int ButtonRoom(const QAbstractButton& b, QStyle::SubElement contents) {
    QStyleOptionButton opt;
    opt.initFrom(&b);
    opt.rect = b.rect();
    opt.text = b.text();
    opt.icon = b.icon();
    opt.iconSize = b.iconSize();
    return b.style()->subElementRect(contents, &opt, &b).width();
}

// What does not fit in `w`: a line per fault, empty when all fits.
QString Overflow(const QWidget& w, const char* name) {
    const QFontMetrics fm(w.font());
    QString text;
    int room = 0;
    if (auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        text = edit->text();
        room = EditRoom(*edit);
    } else if (auto* button = qobject_cast<const QPushButton*>(&w)) {
        text = Shown(button->text());
        room = ButtonRoom(*button, QStyle::SE_PushButtonContents);
    } else if (auto* check = qobject_cast<const QCheckBox*>(&w)) {
        text = Shown(check->text());
        room = ButtonRoom(*check, QStyle::SE_CheckBoxContents);
    } else if (auto* radio = qobject_cast<const QRadioButton*>(&w)) {
        text = Shown(radio->text());
        room = ButtonRoom(*radio, QStyle::SE_RadioButtonContents);
    } else if (auto* label = qobject_cast<const QLabel*>(&w)) {
        if (label->pixmap().isNull()) {
            text = label->textFormat() == Qt::RichText ? Shown(label->text()) : label->text();
            text.remove(QStringLiteral("<u>")).remove(QStringLiteral("</u>"));
            room = label->contentsRect().width();
        }
    } else if (auto* box = qobject_cast<const QGroupBox*>(&w)) {
        text = box->title();
        // The title sits 7 pixels in, with 2 pixels of padding at each side.
        room = box->width() - 7 - 2 * 2 - 2;
    }
    QString fault;
    const int need = fm.horizontalAdvance(text);
    if (need > room)
        fault += QStringLiteral("%1 \"%2\" needs %3 px, has %4\n")
                     .arg(QString::fromLatin1(name), text)
                     .arg(need)
                     .arg(room);
    // Nothing reaches past the frame of the group box it sits in.
    if (auto* parent = qobject_cast<const QGroupBox*>(w.parentWidget());
        parent != nullptr && !parent->rect().adjusted(1, 1, -1, -1).contains(w.geometry()))
        fault += QStringLiteral("%1 \"%2\" reaches out of its group box\n")
                     .arg(QString::fromLatin1(name), text);
    return fault;
}

// Every visible control of the client area with text that does not fit.
QString Overflows(Harness& h) {
    QString faults;
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const C id = static_cast<C>(i);
        QWidget* w = h.W(id);
        if (w == nullptr || id == C::FormHlav || !w->isVisible()) continue;
        faults += Overflow(*w, ControlName(id));
        for (QRadioButton* item : w->findChildren<QRadioButton*>())
            if (item->isVisible()) faults += Overflow(*item, ControlName(id));
        // A caption that made its control grow must not run into a neighbour.
        const ControlLayout& row = LayoutOf(id);
        if ((row.Kind == K::Label || row.Kind == K::CheckBox) && w->width() > row.Width)
            for (QWidget* other :
                 w->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (other != w && other->isVisible() && other->geometry().intersects(w->geometry()))
                    faults += QStringLiteral("%1 runs into %2\n")
                                  .arg(QString::fromLatin1(ControlName(id)),
                                       QString::fromLatin1(ControlName(h.View.ControlOf(other))));
    }
    return faults;
}

bool IsRed(QRgb c) {
    return qRed(c) == 255 && qGreen(c) == 0 && qBlue(c) == 0;
}

} // namespace

class LookTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir Dir;
    std::unique_ptr<Harness> H;

  private slots:
    void initTestCase() {
        InitPictures();
        QVERIFY(Dir.isValid());
    }
    void init() {
        H = std::make_unique<Harness>(Dir.path());
        QVERIFY(QTest::qWaitForWindowExposed(&H->View));
    }
    void cleanup() { H.reset(); }

    // The font the window really draws with is the built-in one, whatever
    // the machine has.
    void theBuiltInFontIsUsed() {
        QCOMPARE(WindowFontFamily(), QStringLiteral("Liberation Sans"));
        for (int i = 0; i < CONTROL_COUNT; ++i) {
            QWidget* w = H->W(static_cast<C>(i));
            if (w == nullptr) continue;
            QVERIFY2(QFontInfo(w->font()).family() == WindowFontFamily(),
                     ControlName(static_cast<C>(i)));
        }
    }

    void everyShownTextFits_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("German") << 1;
        QTest::newRow("French") << 2;
        QTest::newRow("Czech") << 3;
    }
    void everyShownTextFits() {
        QFETCH(int, language);
        Harness& h = *H;
        h.Form.Language = static_cast<TLanguage>(language);
        h.Form.ApplyLanguage();
        h.Form.ShowParams();
        // With no unit the no-connection label is up, and the monitor
        // labels show their empty values.
        h.Form.ConnectionAge = CONNECTION_TIMEOUT_TICKS;
        h.Form.Timer1Timer();
        h.Form.ApplyLanguage();
        QCoreApplication::processEvents();
        const QString faults = Overflows(h);
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
    }

    // The widest value of every spinner-edit, with the grouping separators
    // of the program's four languages and other common ones.
    void widestSpinnerValuesFit_data() {
        QTest::addColumn<QString>("separator");
        QTest::newRow("comma") << QStringLiteral(",");
        QTest::newRow("full stop") << QStringLiteral(".");
        QTest::newRow("no-break space") << QStringLiteral("\u00a0");
        QTest::newRow("narrow no-break space") << QStringLiteral("\u202f");
        QTest::newRow("apostrophe") << QStringLiteral("\u2019");
    }
    void widestSpinnerValuesFit() {
        QFETCH(QString, separator);
        Harness& h = *H;
        WindowModel& model = h.Form.Model();
        model.SetGroupSeparator(separator.toStdString());
        QString faults;
        for (int i = 0; i < CONTROL_COUNT; ++i) {
            const C updown = static_cast<C>(i);
            const ControlLayout& row = LayoutOf(updown);
            if (row.Kind != K::UpDown || !h.W(row.Buddy)->isVisible()) continue;
            for (int value : {row.Min, row.Max}) {
                model.SetSpinner(updown, value);
                faults += Overflow(*h.W(row.Buddy), ControlName(row.Buddy));
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
    }

    // The two warnings are red over the whole control, not only a frame.
    void warningCheckBoxesAreRedAllOver() {
        Harness& h = *H;
        QWidget* prog = h.W(C::CheckBoxProgHned);
        QTest::mouseClick(prog, Qt::LeftButton, {}, QPoint(6, prog->height() / 2));
        QVERIFY(h.S(C::CheckBoxProgHned).Checked);
        h.Form.Params().ZakazCteni = 1;
        h.Form.ShowParams();
        for (C id : {C::CheckBoxProgHned, C::CheckBoxZakazCteni}) {
            const QImage image = h.W(id)->grab().toImage();
            int red = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    red += IsRed(image.pixel(x, y)) ? 1 : 0;
            // The tick mark and the caption cover the rest.
            const int all = image.width() * image.height();
            QVERIFY2(red * 10 >= all * 6, qPrintable(QStringLiteral("%1: %2 of %3 pixels red")
                                                         .arg(ControlName(id))
                                                         .arg(red)
                                                         .arg(all)));
            // Right of the caption, top to bottom.
            for (int y = 0; y < image.height(); ++y)
                QVERIFY2(IsRed(image.pixel(image.width() - 2, y)), ControlName(id));
        }
        // Unticked, the box takes the colour around it again.
        QTest::mouseClick(prog, Qt::LeftButton, {}, QPoint(6, prog->height() / 2));
        const QImage plain = prog->grab().toImage();
        QVERIFY(!IsRed(plain.pixel(plain.width() - 2, plain.height() / 2)));
    }

    // Edits are drawn in the edit colour of the palette, not on button face.
    void editsUseTheEditColour() {
        Harness& h = *H;
        const QColor edit = QApplication::palette().color(QPalette::Active, QPalette::Base);
        QVERIFY(edit != QApplication::palette().color(QPalette::Active, QPalette::Button));
        for (C id :
             {C::EditPocetBodu, C::EditBaseAdv, C::EditRpmPulsu, C::EditRpmKorekce, C::EditOmez2}) {
            QWidget* w = h.W(id);
            const QImage image = w->grab().toImage();
            // Inside the frame, right of the digits.
            QVERIFY2(image.pixelColor(image.width() - 4, image.height() / 2) == edit,
                     ControlName(id));
        }
    }
};

QTEST_MAIN(LookTest)
#include "LookTest.moc"
