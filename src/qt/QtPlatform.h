#pragma once
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "ui/TPlatform.h"

class QDialog;
class QImage;
class QPainter;
class QPrinter;
class QRectF;
class QTranslator;

namespace kelmor {

class MainWindow;

// The desktop services of the main window's logic, done with Qt: boxes,
// file dialogs, printing, the manual, clock, screen, focus and geometry.
class QtPlatform : public TPlatform {
  public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    void SetView(MainWindow* view) { View = view; }
    void SetAbout(QDialog* about) { About = about; }
    // COM1 becomes the built-in simulated unit for this run.
    void SetSimulatedCom1(bool on) { SimulatedCom1 = on; }
    // Prints go into this PDF file instead of the default printer (empty: printer).
    void SetPrintToFile(std::string path) { PrintFile = std::move(path); }

    // The digit-grouping separator of the user's locale (UTF-8).
    static std::string LocaleGroupSeparator();

    void MessageBox(std::string_view text) override;
    Answer AskYesNoCancel(std::string_view text) override;
    std::optional<std::string> OpenDialog(const std::string& proposed) override;
    std::optional<std::string> SaveDialog(const std::string& proposed) override;
    bool PrintWindow(std::string& error) override;
    bool OpenDocument(const std::string& name) override;
    std::string DateTimeText() override;
    std::string ConfigDir() override;
    std::unique_ptr<SerialPort> MakeSerialPort(int comPort) override;
    std::vector<PortDescription> DescribePorts() override;
    // Qt's own texts (dialog buttons, file dialogs) in the program's language.
    void UseLanguage(TLanguage language) override;
    Geometry WindowGeometry() override;
    void SetWindowGeometry(const Geometry& g) override;
    void ScreenSize(int& width, int& height) override;
    ControlId FocusedControl() override;
    void SetFocus(ControlId id) override;
    void CloseWindow() override;
    void ShowAbout() override;
    LocalTime LocalClock() override;
    std::optional<std::string> OpenDialogIn(const std::string& folder,
                                            const std::string& proposed) override;
    std::optional<std::string> SavePdfDialog(const std::string& proposed) override;
    bool WriteRecordPdf(const std::string& path, const WorkshopRecord& record,
                        std::string& error) override;
    std::optional<std::string> OpenLogDialog(const std::string& folder,
                                             const std::string& proposed) override;
    void ShowLogViewer() override;
    void ShowTable(std::string_view title, const std::vector<std::string>& columns,
                   const std::vector<std::vector<std::string>>& rows) override;

  private:
    // An open dialog in `folder`, its list newest first.
    std::optional<std::string> OpenNewestFirst(const std::string& folder,
                                               const std::string& proposed,
                                               const QStringList& filters, const QString& suffix);

    MainWindow* View = nullptr;
    QDialog* About = nullptr;
    bool SimulatedCom1 = false;
    std::string PrintFile;
    std::unique_ptr<QTranslator> QtTexts;
};

// Puts the image on one page of the printer, scaled by FitToPage; the
// printer's error text on failure.
bool PrintImage(QPrinter& printer, const QImage& image, std::string& error);

// The workshop record on one page of `painter`'s device (page rectangle
// `page`): the window's image on top, the record's text and chart below.
void PaintRecordPage(QPainter& painter, const QRectF& page, const QImage& window,
                     const WorkshopRecord& record);

// Where a picture W x H goes on a page pw x ph: scaled to the page height,
// unless that is too wide, then to the page width; at the top-left corner.
void FitToPage(long long w, long long h, long long pageW, long long pageH, long long& outW,
               long long& outH);

} // namespace kelmor
