#include "qt/QtPlatform.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QTableWidget>
#include <QTranslator>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/CurveChartWidget.h"
#include "qt/Documents.h"
#include "qt/Fonts.h"
#include "qt/MainWindow.h"
#include "serial/PortMap.h"
#include "ui/WorkshopRecord.h"

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

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    if (QtTexts) QCoreApplication::removeTranslator(QtTexts.get());
}

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
    // The manual is named without a folder: the current one first, then the
    // program's own and the installed one.
    const QString path =
        FindDocument(Text(name), DocumentFolders(QCoreApplication::applicationDirPath()));
    if (path.isEmpty()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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

std::vector<PortDescription> QtPlatform::DescribePorts() {
    using D = PortDescription::TKind;
    using S = ComPortSummary::TKind;
    const std::vector<PortInfo> listed = ListPorts();
    const std::string config = kelmor::ConfigDir();
    std::vector<PortDescription> ports;
    for (int n = 1; n <= 10; ++n) {
        const ComPortSummary s = DescribeComPort(n, config, SimulatedCom1, listed);
        ports.push_back({s.Kind == S::Simulated ? D::Simulated
                         : s.Kind == S::Present ? D::Present
                                                : D::Missing,
                         s.Device, s.Product, s.SerialNumber});
    }
    return ports;
}

void QtPlatform::UseLanguage(TLanguage language) {
    static constexpr const char* CODES[LANGUAGE_COUNT] = {"", "de", "fr", "cs"};
    if (QtTexts) {
        QCoreApplication::removeTranslator(QtTexts.get());
        QtTexts.reset();
    }
    const QString code = QString::fromLatin1(CODES[LanguageIndex(language)]);
    if (code.isEmpty()) return; // Qt's own texts are English
    // "qt_xx" brings in the catalogues of every Qt module installed.
    auto texts = std::make_unique<QTranslator>();
    if (!texts->load(QStringLiteral("qt_") + code,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(texts.get());
    QtTexts = std::move(texts);
}

TPlatform::Geometry QtPlatform::WindowGeometry() {
    return View->OuterGeometry();
}

void QtPlatform::SetWindowGeometry(const Geometry& g) {
    View->SetOuterGeometry(g);
}

void QtPlatform::ScreenSize(int& width, int& height) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Without the task bars and docks.
    const QRect r = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
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

LocalTime QtPlatform::LocalClock() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

std::optional<std::string> QtPlatform::OpenNewestFirst(const std::string& folder,
                                                       const std::string& proposed,
                                                       const QStringList& filters,
                                                       const QString& suffix) {
    QFileDialog dialog(View);
    // Qt's own dialog, so that the list can be put newest first.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setDirectory(Text(folder));
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        list->sortByColumn(3, Qt::DescendingOrder); // date modified
    Propose(dialog, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtPlatform::OpenDialogIn(const std::string& folder,
                                                    const std::string& proposed) {
    return OpenNewestFirst(
        folder, proposed,
        {QStringLiteral("Ignition Parametrs(*.ign)"), QStringLiteral("All Files (*.*)")},
        QStringLiteral("ign"));
}

std::optional<std::string> QtPlatform::OpenLogDialog(const std::string& folder,
                                                     const std::string& proposed) {
    return OpenNewestFirst(folder, proposed,
                           {QStringLiteral("CSV (*.csv)"), QStringLiteral("All Files (*.*)")},
                           QString());
}

void QtPlatform::ShowLogViewer() {
    if (View != nullptr) View->ShowLogViewer();
}

std::optional<std::string> QtPlatform::SavePdfDialog(const std::string& proposed) {
    QFileDialog dialog(View);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
    Propose(dialog, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

void QtPlatform::ShowTable(std::string_view title, const std::vector<std::string>& columns,
                           const std::vector<std::vector<std::string>>& rows) {
    QDialog dialog(View);
    dialog.setWindowTitle(Text(title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* table =
        new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(columns.size()), &dialog);
    QStringList headers;
    for (const std::string& c : columns)
        headers << Text(c);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size() && c < columns.size(); ++c)
            table->setItem(static_cast<int>(r), static_cast<int>(c),
                           new QTableWidgetItem(Text(rows[r][c])));
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    // As large as the rows need, within reason; longer lists scroll.
    const int frame = 2 * table->frameWidth();
    const int width = table->horizontalHeader()->length() + frame + 40;
    const int height = table->horizontalHeader()->height() + table->verticalHeader()->length() +
                       frame + buttons->sizeHint().height() + 40;
    dialog.resize(std::clamp(width, 360, 900), std::clamp(height, 180, 640));
    dialog.exec();
}

namespace {

QFont RecordFont(double points, bool bold = false) {
    QFont font = ControlFont(12, bold);
    font.setPointSizeF(points);
    return font;
}

// Label and value lines in two columns, labels cut to their share of the width.
double DrawLines(QPainter& painter, const std::vector<RecordLine>& lines, double x, double y,
                 double width, double lineHeight) {
    const QFontMetricsF fm(painter.font());
    double labelWidth = 0;
    for (const RecordLine& l : lines)
        labelWidth =
            std::max(labelWidth, fm.horizontalAdvance(Text(l.Label) + QStringLiteral(":")));
    labelWidth = std::min(labelWidth + fm.averageCharWidth() * 2, width * 0.62);
    for (const RecordLine& l : lines) {
        const QString label =
            fm.elidedText(Text(l.Label) + QStringLiteral(":"), Qt::ElideRight, labelWidth);
        const QString value = fm.elidedText(Text(l.Value), Qt::ElideRight, width - labelWidth);
        painter.drawText(QRectF(x, y, labelWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         label);
        painter.drawText(QRectF(x + labelWidth, y, width - labelWidth, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, value);
        y += lineHeight;
    }
    return y;
}

} // namespace

void PaintRecordPage(QPainter& painter, const QRectF& page, const QImage& window,
                     const WorkshopRecord& record) {
    // The window on top, at most half the page high.
    double imageW = page.width();
    double imageH = window.isNull() ? 0 : imageW * window.height() / window.width();
    if (imageH > page.height() * 0.48) {
        imageH = page.height() * 0.48;
        imageW = imageH * window.width() / window.height();
    }
    if (!window.isNull()) {
        painter.drawImage(QRectF(page.left(), page.top(), imageW, imageH), window);
        painter.setPen(QPen(QColor(160, 160, 160), 0));
        painter.drawRect(QRectF(page.left(), page.top(), imageW, imageH));
    }
    double y = page.top() + imageH;

    painter.setPen(Qt::black);
    painter.setFont(RecordFont(13, true));
    const double titleHeight = QFontMetricsF(painter.font()).height() * 1.6;
    painter.drawText(QRectF(page.left(), y, page.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, Text(record.Title));
    y += titleHeight;

    painter.setFont(RecordFont(8));
    const double line = QFontMetricsF(painter.font()).height() * 1.2;
    const double gap = page.width() * 0.04;
    const double leftW = page.width() * 0.54;
    const double rightX = page.left() + leftW + gap;
    const double rightW = page.right() - rightX;

    // Left: the unit, date, file and last transfer, then the settings.
    double left = DrawLines(painter, record.Info, page.left(), y, leftW, line);
    painter.setPen(QPen(QColor(160, 160, 160), 0));
    painter.drawLine(QPointF(page.left(), left + line * 0.4),
                     QPointF(page.left() + leftW, left + line * 0.4));
    painter.setPen(Qt::black);
    DrawLines(painter, record.Settings, page.left(), left + line, leftW, line);

    // Right: the curve table, then the chart in the space below it.
    const double cols[3] = {0.2, 0.4, 0.4};
    auto row = [&](const std::vector<std::string>& cells, double top) {
        double x = rightX;
        for (size_t c = 0; c < cells.size() && c < 3; ++c) {
            const double w = rightW * cols[c];
            const Qt::Alignment align =
                (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
            painter.drawText(QRectF(x, top, w - 6, line), static_cast<int>(align), Text(cells[c]));
            x += w;
        }
    };
    double right = y;
    QFont bold = RecordFont(8, true);
    painter.setFont(bold);
    row(record.CurveHeader, right);
    right += line;
    painter.setFont(RecordFont(8));
    for (size_t k = 0; k < record.CurveRows.size(); ++k) {
        // Points beyond the count in use are stored and sent, but not used.
        painter.setPen(static_cast<int>(k) < record.PointsInUse ? QColor(Qt::black)
                                                                : QColor(150, 150, 150));
        row(record.CurveRows[k], right);
        right += line;
    }
    painter.setPen(Qt::black);
    const QRectF chartArea(rightX, right + line * 0.5, rightW,
                           std::max(page.bottom() - right - line * 0.5, line * 8));
    painter.setFont(RecordFont(7));
    PaintCurveChart(painter, chartArea, record.Chart, Text(record.ChartRpmLabel),
                    Text(record.ChartAdvanceLabel));
}

bool QtPlatform::WriteRecordPdf(const std::string& path, const WorkshopRecord& record,
                                std::string& error) {
    // The image is taken first, in the look the window has been given.
    const QImage image = View != nullptr ? View->ClientArea()->grab().toImage() : QImage();
    // Written beside the target and put in its place when complete.
    QSaveFile file(Text(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(Text(record.Title));
    writer.setCreator(QStringLiteral("kelmor"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        error = "The PDF could not be started.";
        return false;
    }
    PaintRecordPage(painter, QRectF(painter.viewport()), image, record);
    if (!painter.end() || !file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace kelmor
