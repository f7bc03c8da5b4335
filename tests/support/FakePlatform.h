#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/TPlatform.h"
#include "ui/WorkshopRecord.h"

namespace kelmor::test {

// Scripted desktop: records boxes, answers dialogs from queues, and lets a
// test run code (ticks) while a modal box is "open".
class FakePlatform : public TPlatform {
  public:
    std::vector<std::string> Boxes;
    std::function<void()> WhileBoxOpen;
    std::vector<Answer> Answers;
    std::vector<std::optional<std::string>> OpenAnswers, SaveAnswers;
    std::vector<std::string> OpenProposals, SaveProposals;
    bool PrintOk = true;
    std::string PrintError = "No printer";
    int Prints = 0;
    std::function<void()> WhilePrinting;
    std::vector<std::string> Documents;
    bool DocumentOk = false;
    std::string Now = "10.12.2026    13:50:00";
    std::string Config = ".";
    std::function<std::unique_ptr<SerialPort>(int)> PortFactory;
    // What DescribePorts answers.
    std::vector<PortDescription> Ports = std::vector<PortDescription>(10);
    std::vector<TLanguage> Languages; // every UseLanguage
    std::vector<int> PortsMade;
    Geometry Window{0, 0, 936, 735};
    int ScreenW = 1920, ScreenH = 1080;
    ControlId Focus = ControlId::FormHlav;
    std::function<void(ControlId oldFocus)> OnFocusLeave;
    bool Closed = false;
    int Abouts = 0;

    void MessageBox(std::string_view text) override {
        Boxes.emplace_back(text);
        if (WhileBoxOpen) WhileBoxOpen();
    }
    Answer AskYesNoCancel(std::string_view text) override {
        Boxes.emplace_back(text);
        if (Answers.empty()) return Answer::Cancel;
        Answer a = Answers.front();
        Answers.erase(Answers.begin());
        return a;
    }
    std::optional<std::string> OpenDialog(const std::string& proposed) override {
        OpenProposals.push_back(proposed);
        return Pop(OpenAnswers);
    }
    std::optional<std::string> SaveDialog(const std::string& proposed) override {
        SaveProposals.push_back(proposed);
        return Pop(SaveAnswers);
    }
    bool PrintWindow(std::string& error) override {
        ++Prints;
        if (WhilePrinting) WhilePrinting();
        if (!PrintOk) error = PrintError;
        return PrintOk;
    }
    bool OpenDocument(const std::string& name) override {
        Documents.push_back(name);
        return DocumentOk;
    }
    std::string DateTimeText() override { return Now; }
    std::string ConfigDir() override { return Config; }
    std::unique_ptr<SerialPort> MakeSerialPort(int comPort) override {
        PortsMade.push_back(comPort);
        return PortFactory ? PortFactory(comPort) : nullptr;
    }
    std::vector<PortDescription> DescribePorts() override { return Ports; }
    void UseLanguage(TLanguage language) override { Languages.push_back(language); }
    Geometry WindowGeometry() override { return Window; }
    void SetWindowGeometry(const Geometry& g) override { Window = g; }
    void ScreenSize(int& w, int& h) override {
        w = ScreenW;
        h = ScreenH;
    }
    ControlId FocusedControl() override { return Focus; }
    void SetFocus(ControlId id) override {
        ControlId old = Focus;
        Focus = id;
        if (old != id && OnFocusLeave) OnFocusLeave(old);
    }
    void CloseWindow() override { Closed = true; }
    void ShowAbout() override { ++Abouts; }

    // The chart, log, record, backup and compare services.
    LocalTime Clock{2026, 12, 10, 13, 50, 0};
    std::vector<std::string> OpenInFolders;
    std::vector<std::optional<std::string>> PdfAnswers;
    std::vector<std::string> PdfProposals;
    bool RecordOk = true;
    std::string RecordError = "disk full";
    std::vector<std::string> RecordPaths;
    std::vector<WorkshopRecord> Records;
    std::function<void()> WhileWritingRecord;
    struct Table {
        std::string Title;
        std::vector<std::string> Columns;
        std::vector<std::vector<std::string>> Rows;
    };
    std::vector<Table> Tables;
    int LogViewerShows = 0;

    LocalTime LocalClock() override { return Clock; }
    std::optional<std::string> OpenDialogIn(const std::string& folder,
                                            const std::string& proposed) override {
        OpenInFolders.push_back(folder);
        OpenProposals.push_back(proposed);
        return Pop(OpenAnswers);
    }
    std::optional<std::string> SavePdfDialog(const std::string& proposed) override {
        PdfProposals.push_back(proposed);
        return Pop(PdfAnswers);
    }
    bool WriteRecordPdf(const std::string& path, const WorkshopRecord& record,
                        std::string& error) override {
        RecordPaths.push_back(path);
        Records.push_back(record);
        if (WhileWritingRecord) WhileWritingRecord();
        if (!RecordOk) error = RecordError;
        return RecordOk;
    }
    void ShowTable(std::string_view title, const std::vector<std::string>& columns,
                   const std::vector<std::vector<std::string>>& rows) override {
        Tables.push_back({std::string(title), columns, rows});
    }

    void ShowLogViewer() override { ++LogViewerShows; }

  private:
    static std::optional<std::string> Pop(std::vector<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.erase(q.begin());
        return v;
    }
};

} // namespace kelmor::test
