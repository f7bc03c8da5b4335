#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/TLanguage.h"
#include "link/SerialPort.h"
#include "ui/ControlId.h"

namespace kelmor {

struct WorkshopRecord;

// A moment of the local clock, as file names and records carry it.
struct LocalTime {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// What is behind a COM number now, as the Com menu shows it.
struct PortDescription {
    enum class TKind : uint8_t {
        Unknown,   // the platform cannot tell
        Simulated, // the built-in simulated unit
        Present,   // a device that is there now
        Missing,   // a device path with nothing behind it now
    };
    TKind Kind = TKind::Unknown;
    std::string Device;
    std::string Product;      // the adapter's own description, where known
    std::string SerialNumber; // the adapter's serial number, where known
};

// What only a desktop can do, as the handlers need it. The Qt program
// implements it; tests use a scripted fake.
class TPlatform {
  public:
    enum class Answer { Yes, No, Cancel };
    struct Geometry {
        int Left = 0, Top = 0, Width = 0, Height = 0;
    };

    virtual ~TPlatform() = default;

    // Modal boxes. Ticks keep arriving while they are open.
    virtual void MessageBox(std::string_view text) = 0;
    virtual Answer AskYesNoCancel(std::string_view text) = 0;
    // File dialogs; nullopt when cancelled.
    virtual std::optional<std::string> OpenDialog(const std::string& proposed) = 0;
    virtual std::optional<std::string> SaveDialog(const std::string& proposed) = 0;
    // Prints an image of the client area on one page of the default printer;
    // on failure the platform's error text.
    virtual bool PrintWindow(std::string& error) = 0;
    // Opens a document with the desktop's viewer; false on failure.
    virtual bool OpenDocument(const std::string& name) = 0;
    // "short date" + four blanks + "long time" of now, in the user's formats.
    virtual std::string DateTimeText() = 0;
    // Folder of the settings, the start-up image and the test marker.
    virtual std::string ConfigDir() = 0;
    // The device behind COM n (1..10).
    virtual std::unique_ptr<SerialPort> MakeSerialPort(int comPort) = 0;

    // What COM1 to COM10 reach now, in that order; fewer when the platform
    // cannot tell.
    virtual std::vector<PortDescription> DescribePorts() { return {}; }
    // The program's language has become `language`: the platform's own
    // dialogs follow it.
    virtual void UseLanguage(TLanguage language) { (void)language; }

    // Window placement: outer geometry, and the screen size.
    virtual Geometry WindowGeometry() = 0;
    virtual void SetWindowGeometry(const Geometry& g) = 0;
    virtual void ScreenSize(int& width, int& height) = 0;

    // Keyboard focus. Moving it away from an edit fires that edit's exit first.
    virtual ControlId FocusedControl() = 0;
    virtual void SetFocus(ControlId id) = 0;

    virtual void CloseWindow() = 0;
    virtual void ShowAbout() = 0;

    // Services of the chart, log, record, backup and compare commands. Each
    // has a plain default, so a platform without a screen needs none of them.

    // The local clock now.
    virtual LocalTime LocalClock();
    // The open dialog started in `folder`, with `proposed` selected (newest first).
    virtual std::optional<std::string> OpenDialogIn(const std::string& folder,
                                                    const std::string& proposed) {
        (void)folder;
        return OpenDialog(proposed);
    }
    // A save dialog for a PDF file ("*.pdf"); nullopt when cancelled.
    virtual std::optional<std::string> SavePdfDialog(const std::string& proposed) {
        (void)proposed;
        return std::nullopt;
    }
    // Writes the record as a one-page PDF, the window's image (taken now, in
    // the look it has) on top; on failure the reason.
    virtual bool WriteRecordPdf(const std::string& path, const WorkshopRecord& record,
                                std::string& error);
    // An open dialog for monitor logs ("*.csv") started in `folder`.
    virtual std::optional<std::string> OpenLogDialog(const std::string& folder,
                                                     const std::string& proposed) {
        return OpenDialogIn(folder, proposed);
    }
    // Shows the log viewer's window over the logic's TFormHlav::Viewer.
    virtual void ShowLogViewer() {}
    // A modal list of rows under column titles.
    virtual void ShowTable(std::string_view title, const std::vector<std::string>& columns,
                           const std::vector<std::vector<std::string>>& rows);
};

} // namespace kelmor
