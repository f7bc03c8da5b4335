// Turns one language's manual from Markdown into its PDF, with a picture of
// the real main window in that language: read from the simulated unit, the
// engine running. Run by the build on the offscreen platform.
//
//   kelmor_manual_pdf MANUAL.md OUT.pdf ENGLISH|DEUTSCH|FRANCE|CESKY VERSION
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <cstdio>
#include <map>
#include <string>

#include "qt/CurveChartWidget.h"
#include "qt/Fonts.h"
#include "qt/MainWindow.h"
#include "qt/Pictures.h"
#include "qt/QtPlatform.h"
#include "ui/TFormHlav.h"

using namespace kelmor;

namespace {

// The separator of the language's own country, as a user there sees it.
QLocale LocaleOf(const QString& word) {
    static const std::map<QString, QLocale> locales = {
        {QStringLiteral("ENGLISH"), QLocale(QLocale::English, QLocale::UnitedKingdom)},
        {QStringLiteral("DEUTSCH"), QLocale(QLocale::German, QLocale::Germany)},
        {QStringLiteral("FRANCE"), QLocale(QLocale::French, QLocale::France)},
        {QStringLiteral("CESKY"), QLocale(QLocale::Czech, QLocale::CzechRepublic)},
    };
    const auto it = locales.find(word);
    return it != locales.end() ? it->second : QLocale::c();
}

// The window as the program shows it in `word`'s language: the unit read,
// then the engine run up the curve for a few seconds of the simulated unit's time.
QImage WindowPicture(const QString& word) {
    QtPlatform platform;
    platform.SetSimulatedCom1(true);
    TFormHlav form(platform);
    form.Model().SetGroupSeparator(LocaleOf(word).groupSeparator().toStdString());
    MainWindow view(form);
    platform.SetView(&view);
    form.FormCreate({word.toStdString()});
    view.show();
    form.MenuReadClick();
    // Monitor requests move the engine on; 160 ticks bring it to about 6 000 rpm.
    for (int tick = 0; tick < 160; ++tick)
        form.OnTimer1();
    QApplication::processEvents();
    const QImage picture = view.grab().toImage();
    form.FormClose();
    return picture;
}

// Pictures as wide as the text (`width` in the document's 96 dpi units).
void FitImages(QTextDocument& doc, qreal width) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            if (!format.isValid()) continue;
            const QImage image =
                doc.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
            if (image.isNull()) continue;
            format.setWidth(width);
            format.setHeight(width * image.height() / image.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

// Air above the headings; tables with ruled cells, some air in them and a
// shaded header row.
void StyleDocument(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (const int level = block.blockFormat().headingLevel(); level > 1) {
            QTextBlockFormat format = block.blockFormat();
            format.setTopMargin(level == 2 ? 22 : 12);
            QTextCursor(block).setBlockFormat(format);
        }
        QTextTable* table = QTextCursor(block).currentTable();
        if (table == nullptr || table->firstPosition() != block.position()) continue;
        QTextTableFormat format = table->format();
        format.setBorder(0.6);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(150, 150, 150));
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(5);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(format);
        for (int c = 0; c < table->columns(); ++c) {
            QTextTableCell cell = table->cellAt(0, c);
            QTextCharFormat shade = cell.format();
            shade.setBackground(QColor(232, 232, 232));
            cell.setFormat(shade);
        }
    }
}

// The text area of a page: the writer's printable area less the footer.
QSizeF PageBody(const QPdfWriter& writer, const QFont& footerFont, qreal& footer) {
    const QSizeF area = writer.pageLayout().paintRectPixels(writer.resolution()).size();
    footer = QFontMetricsF(footerFont, &writer).height() * 2.5;
    return {area.width(), area.height() - footer};
}

// Paints the laid-out document page by page, with the title and the page
// number under each.
bool PrintPages(QTextDocument& doc, QPdfWriter& writer, const QString& title,
                const QFont& footerFont) {
    qreal footer = 0;
    const QSizeF page = PageBody(writer, footerFont, footer);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const int pages = doc.pageCount();
    for (int n = 0; n < pages; ++n) {
        if (n > 0) writer.newPage();
        painter.save();
        painter.translate(0, -n * page.height());
        doc.drawContents(&painter, QRectF(QPointF(0, n * page.height()), page));
        painter.restore();
        painter.setFont(footerFont);
        painter.setPen(QColor(90, 90, 90));
        const QRectF line(0, page.height() + footer / 2, page.width(), footer / 2);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom, title);
        painter.drawText(line, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(n + 1).arg(pages));
    }
    return painter.end();
}

} // namespace

int main(int argc, char** argv) {
    // No display is needed; the build machine may have none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window keeps its settings, start-up image and backups in a folder of its own.
    QTemporaryDir config;
    if (!config.isValid()) {
        std::fprintf(stderr, "kelmor_manual_pdf: no temporary folder\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", config.path().toLocal8Bit());
    // The offscreen platform's remark about window size hints says nothing here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg && text.contains(QStringLiteral("propagateSizeHints"))) return;
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });

    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: kelmor_manual_pdf MANUAL.md OUT.pdf LANGUAGE VERSION\n");
        return 2;
    }
    const QString& source = args[1];
    const QString& output = args[2];
    const QString& word = args[3];
    const QString& version = args[4];

    QApplication::setApplicationName(QStringLiteral("kelmor"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(ControlFont(12));
    InitPictures();

    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kelmor_manual_pdf: %s: %s\n", qPrintable(source),
                     qPrintable(file.errorString()));
        return 1;
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("@VERSION@"), version);

    QPdfWriter writer(output);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 16, 20, 14), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("kelmor ") + version);

    // Laid out for the writer's pages from the start, before any text goes in.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    QFont footerFont = font;
    footerFont.setPointSizeF(8);
    qreal footer = 0;
    const QSizeF page = PageBody(writer, footerFont, footer);
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setPageSize(page);
    doc.setMarkdown(text, QTextDocument::MarkdownDialectGitHub);
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("window.png")),
                    WindowPicture(word));
    StyleDocument(doc);
    FitImages(doc, page.width() * 96.0 / writer.logicalDpiX());

    // The first heading names the document.
    const QString title = doc.begin().text();
    writer.setTitle(title);
    if (!PrintPages(doc, writer, title, footerFont)) {
        std::fprintf(stderr, "kelmor_manual_pdf: %s cannot be written\n", qPrintable(output));
        return 1;
    }
    return 0;
}
