// The desktop program: the main window, its About window and the event loop.
#include <QStringList>
#include <QStyleFactory>
#include <exception>
#include <string>
#include <vector>

#include "qt/Fonts.h"
#include "qt/KelmorApplication.h"
#include "qt/MainWindow.h"
#include "qt/Pictures.h"
#include "qt/QtPlatform.h"
#include "qt/TFormAbout.h"
#include "ui/TFormHlav.h"

int main(int argc, char** argv) {
    using namespace kelmor;
    KelmorApplication app(argc, argv);
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
        TFormAbout about(&view);
        platform.SetAbout(&about);
        form.FormCreate(args);
        view.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        // An error while the windows are made ends the program, after saying so.
        KelmorApplication::ReportError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        KelmorApplication::ReportError(QStringLiteral("Unknown error."));
    }
    return 1;
}
