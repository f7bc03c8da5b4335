#include "qt/KelmorApplication.h"

#include <QMessageBox>
#include <clocale>
#include <exception>

namespace kelmor {

KelmorApplication::KelmorApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication has taken the user's locale for the C library too; numbers
    // written for machines (files, logs) keep the C library's decimal point.
    // Texts for people take the user's conventions through QLocale.
    std::setlocale(LC_NUMERIC, "C");
}

bool KelmorApplication::notify(QObject* receiver, QEvent* e) {
    try {
        return QApplication::notify(receiver, e);
    } catch (const std::exception& error) {
        ReportError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ReportError(QStringLiteral("Unknown error."));
    }
    return false;
}

void KelmorApplication::ReportError(const QString& text) {
    // An error while the box itself is open is not reported a second time.
    static bool reporting = false;
    if (reporting) return;
    reporting = true;
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          text);
    reporting = false;
}

} // namespace kelmor
