// The desktop program: the main window, its About window and the event loop.
#include <QSocketNotifier>
#include <QStringList>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "BuildVersion.h"
#include "os/ShutdownSignals.h"
#include "qt/Fonts.h"
#include "qt/KelmorApplication.h"
#include "qt/MainWindow.h"
#include "qt/Pictures.h"
#include "qt/QtPlatform.h"
#include "qt/TFormAbout.h"
#include "ui/TFormHlav.h"

namespace {

// SIGTERM, SIGINT and SIGHUP close the window as the user closes it (the
// settings, the start-up image and the port's lock are dealt with), after
// any open box has been closed as if cancelled. A signal during the start-up
// (a box of its own may be waiting for an answer) closes the window as soon
// as the start-up is over.
class ShutdownWatch {
  public:
    explicit ShutdownWatch(QWidget& window) : Window(window) {
        const int fd = kelmor::ShutdownSignals::Install();
        if (fd < 0) return;
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [this] {
            if (kelmor::ShutdownSignals::Take() == 0) return;
            while (QWidget* box = QApplication::activeModalWidget()) {
                box->close();
                if (box->isVisible()) break;
            }
            Requested = true;
            if (Started) Window.close();
        });
    }
    // Once the event loop runs: a window closed before it would not end it.
    void StartUpDone() {
        Started = true;
        if (Requested) QTimer::singleShot(0, &Window, [this] { Window.close(); });
    }

  private:
    QWidget& Window;
    bool Requested = false;
    bool Started = false;
};

} // namespace

int main(int argc, char** argv) {
    using namespace kelmor;
    // Answered before any window exists, so that it needs no display.
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--version") {
            std::printf("kelmor %s (unit protocol version %d)\n", KELMOR_VERSION, PC_VERSION);
            return 0;
        }
    KelmorApplication app(argc, argv);
    // From here on a signal to end waits for the window to close it.
    ShutdownSignals::Install();
    QApplication::setApplicationName(QStringLiteral("kelmor"));
    // The name of the installed desktop entry, so that desktops (Wayland's
    // above all) give the window its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelmor.Kelmor"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(ControlFont(12));
    InitPictures();
    QApplication::setWindowIcon(ProgramIcon());

    // Qt has taken its own options out already; ours is --sim.
    QStringList words = QApplication::arguments();
    words.removeFirst();
    bool simulated = false;
    std::vector<std::string> args;
    for (const QString& w : words) {
        if (w == QStringLiteral("--sim"))
            simulated = true;
        else
            args.push_back(w.toStdString());
    }

    try {
        QtPlatform platform;
        platform.SetSimulatedCom1(simulated);
        TFormHlav form(platform);
        form.Model().SetGroupSeparator(QtPlatform::LocaleGroupSeparator());
        MainWindow view(form);
        platform.SetView(&view);
        ShutdownWatch watch(view);
        form.FormCreate(args);
        view.show();
        // Nothing of the main window waits for the About window.
        TFormAbout about(&view);
        platform.SetAbout(&about);
        // Monitor logs named on the command line open in the log viewer.
        form.OpenArguments(args);
        watch.StartUpDone();
        return QApplication::exec();
    } catch (const std::exception& error) {
        // An error while the windows are made ends the program, after saying so.
        KelmorApplication::ReportError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        KelmorApplication::ReportError(QStringLiteral("Unknown error."));
    }
    return 1;
}
