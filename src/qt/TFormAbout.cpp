#include "qt/TFormAbout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include "params/TIgnParams.h"
#include "qt/Fonts.h"
#include "qt/Pictures.h"

namespace kelmor {

namespace {
constexpr int ABOUT_WIDTH = 415;
constexpr int ABOUT_HEIGHT = 422;

// The maker's contact lines; the firm and its addresses are the program's own.
constexpr const char* CONTACT_LINES[9] = {
    "ZEV Torvanic ignition systems",
    "Workshop 7, Sparkwheel Yard",
    "Kelmor Vale, Eastmarch",
    "Service line: 000 000 000",
    "Workshop hours: Mon - Fri, 8 - 16",
    "E-mail: service@torvanic.invalid",
    "Web: www.torvanic.invalid",
    "Firmware updates on request",
    "Made for riders, by riders",
};

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height,
                  int fontPx) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(ControlFont(fontPx));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
    // Grows to its text like the window's other labels, from its place.
    const QSize hint = label->sizeHint();
    label->setGeometry(left, top, std::max(width, hint.width()), std::max(height, hint.height()));
    return label;
}
} // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(ABOUT_WIDTH, ABOUT_HEIGHT);
    setFont(ControlFont(11));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);

    LabelAbout =
        MakeLabel(this, QStringLiteral("Programm for setting of ignition"), 32, 16, 231, 20, 16);
    Image1 = new QLabel(this);
    Image1->setGeometry(32, 40, 313, 49);
    for (int i = 0; i < 9; ++i)
        ContactLabels[i] =
            MakeLabel(this, QString::fromUtf8(CONTACT_LINES[i]), 32, 100 + 25 * i, 0, 20, 16);
    LabelDate = MakeLabel(this, QString(), 32, 353, 63, 16, 13);
    LabelDate->setAutoFillBackground(true); // black, as the window
    LabelExit = MakeLabel(this, QStringLiteral("OK"), 216, 353, 18, 16, 13);
    LabelExit->setCursor(Qt::PointingHandCursor);
    LabelExit->installEventFilter(this);
    LabelTime = MakeLabel(this, QString(), 32, 375, 65, 16, 13);
    LabelRsKey = MakeLabel(this, QString(), 32, 397, 65, 16, 13);
    FormCreate();
}

void TFormAbout::FormCreate() {
    // "Mmm dd yyyy" with the day padded by a blank, and "hh:mm:ss", as the
    // compiler gives them.
    LabelDate->setText(QStringLiteral(__DATE__));
    LabelTime->setText(QStringLiteral(__TIME__));
    LabelRsKey->setText(QStringLiteral("Version - %1").arg(PC_VERSION));
    for (QLabel* l : {LabelDate, LabelTime, LabelRsKey})
        l->resize(std::max(l->width(), l->sizeHint().width()), l->height());

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect s = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect outer = frameGeometry();
    move(s.width() / 2 - outer.width() / 2, s.height() / 2 - outer.height() / 2);
}

void TFormAbout::FormActivate() {
    setWindowTitle(QStringLiteral("ZEV   Torvanic"));
}

void TFormAbout::Button1Click() {
    close();
}

bool TFormAbout::event(QEvent* e) {
    // The logo is drawn when the window first shows, not while the program starts.
    if (e->type() == QEvent::Show && Image1->pixmap().isNull())
        Image1->setPixmap(
            RenderPicture(QStringLiteral("logo"), Image1->size(), devicePixelRatioF()));
    if (e->type() == QEvent::Show || (e->type() == QEvent::WindowActivate && isActiveWindow()))
        FormActivate();
    return QDialog::event(e);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* e) {
    if (watched == LabelExit && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
        LabelExit->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint())) {
        Button1Click();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace kelmor
