#include "qt/QtPlatform.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QUrl>

#include "qt/MainWindow.h"
#include "qt/PortMap.h"

namespace kelmor {

namespace {
QString Text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString BoxTitle() {
    return QApplication::applicationDisplayName();
}

// The dialogs propose the last file; a blank name proposes nothing.
void Propose(QFileDialog& dialog, const std::string& proposed) {
    const QString name = Text(proposed).trimmed();
    if (!name.isEmpty()) dialog.selectFile(name);
}
} // namespace

std::string QtPlatform::LocaleGroupSeparator() {
    return QLocale().groupSeparator().toStdString();
}

void QtPlatform::MessageBox(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, BoxTitle(), Text(text), QMessageBox::Ok, View);
    box.exec();
}

TPlatform::Answer QtPlatform::AskYesNoCancel(std::string_view text) {
    QMessageBox box(QMessageBox::Question, BoxTitle(), Text(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, View);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<std::string> QtPlatform::OpenDialog(const std::string& proposed) {
    QFileDialog dialog(View);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Ignition Parametrs(*.ign)"), QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("ign"));
    Propose(dialog, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtPlatform::SaveDialog(const std::string& proposed) {
    QFileDialog dialog(View);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Ignition Parametrs(*.ign)"));
    dialog.setDefaultSuffix(QStringLiteral("ign"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
    Propose(dialog, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void FitToPage(long long w, long long h, long long pageW, long long pageH, long long& outW,
               long long& outH) {
    outW = outH = 0;
    if (w <= 0 || h <= 0) return;
    const long long byHeight = w * pageH / h;
    if (byHeight < pageW) {
        outW = byHeight;
        outH = pageH;
    } else {
        outW = pageW;
        outH = h * pageW / w;
    }
}

bool PrintImage(QPrinter& printer, const QImage& image, std::string& error) {
    const std::string name = printer.outputFormat() == QPrinter::PdfFormat
                                 ? printer.outputFileName().toStdString()
                                 : printer.printerName().toStdString();
    printer.setDocName(QStringLiteral("kelmor"));
    if (!printer.isValid()) {
        error = "The printer " + name + " cannot be used.";
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = "The print job could not be started on " + name + ".";
        return false;
    }
    const QRect page = painter.viewport();
    long long w = 0, h = 0;
    FitToPage(image.width(), image.height(), page.width(), page.height(), w, h);
    painter.drawImage(QRect(0, 0, static_cast<int>(w), static_cast<int>(h)), image);
    if (!painter.end()) {
        error = "The page could not be sent to " + name + ".";
        return false;
    }
    return true;
}

bool QtPlatform::PrintWindow(std::string& error) {
    // The image is taken first, while the window shows its paper look.
    const QImage image = View->ClientArea()->grab().toImage();
    if (!PrintFile.empty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(PrintFile));
        return PrintImage(printer, image, error);
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        error = "No default printer is installed.";
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    return PrintImage(printer, image, error);
}

bool QtPlatform::OpenDocument(const std::string& name) {
    // The manual is named without a folder and looked for in the current one.
    const QFileInfo file(QDir::current(), Text(name));
    if (!file.isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

std::string QtPlatform::DateTimeText() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    // The desktop's long time format may name the time zone; the caption does not.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return (locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral("    ") +
            locale.toString(now.time(), timeFormat.trimmed()))
        .toStdString();
}

std::string QtPlatform::ConfigDir() {
    return kelmor::ConfigDir();
}

std::unique_ptr<SerialPort> QtPlatform::MakeSerialPort(int comPort) {
    return kelmor::MakeSerialPort(comPort, kelmor::ConfigDir(), SimulatedCom1);
}

TPlatform::Geometry QtPlatform::WindowGeometry() {
    return View->OuterGeometry();
}

void QtPlatform::SetWindowGeometry(const Geometry& g) {
    View->SetOuterGeometry(g);
}

void QtPlatform::ScreenSize(int& width, int& height) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect r = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    width = r.width();
    height = r.height();
}

ControlId QtPlatform::FocusedControl() {
    return View->FocusedControl();
}

void QtPlatform::SetFocus(ControlId id) {
    View->FocusControl(id);
}

void QtPlatform::CloseWindow() {
    View->close();
}

void QtPlatform::ShowAbout() {
    if (About != nullptr) About->exec();
}

} // namespace kelmor
