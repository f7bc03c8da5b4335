// Renders the program's SVG icon into PNG files of the sizes desktops ask
// for. Run by the build; needs no display.
//
//   kelmor_icon_png ICON.svg OUT_FOLDER SIZE...   writes OUT_FOLDER/SIZExSIZE.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: kelmor_icon_png ICON.svg OUT_FOLDER SIZE...\n");
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "kelmor_icon_png: %s is not a readable SVG picture\n",
                     qPrintable(args[1]));
        return 1;
    }
    const QDir folder(args[2]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "kelmor_icon_png: cannot make %s\n", qPrintable(args[2]));
        return 1;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            std::fprintf(stderr, "kelmor_icon_png: bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString path = folder.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "kelmor_icon_png: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
