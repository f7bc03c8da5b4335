#pragma once
#include <QApplication>

namespace kelmor {

// The application object. An error escaping an event handler is shown in a
// message box and the program goes on, instead of ending without a word.
// The C library's number formats stay those of the C locale.
class KelmorApplication : public QApplication {
    Q_OBJECT
  public:
    KelmorApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* e) override;

    // Shows an error in a modal box (also used for errors during start-up).
    static void ReportError(const QString& text);
};

} // namespace kelmor
