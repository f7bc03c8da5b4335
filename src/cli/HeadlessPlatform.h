#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/TPlatform.h"

namespace kelmor::cli {

// The desktop services of a front end without a window: message boxes are
// lines on standard error, dialogs choose nothing unless the command has named
// the file they stand in for, nothing is printed, and no settings are kept.
class HeadlessPlatform : public TPlatform {
  public:
    using PortMaker = std::function<std::unique_ptr<SerialPort>()>;

    // `port` makes the one port of the run, whatever COM number asks for it.
    HeadlessPlatform(std::ostream& err, PortMaker port);

    // The file the next open or save dialog returns, as if the user chose it.
    void AnswerNextOpen(std::string path) { NextOpen = std::move(path); }
    void AnswerNextSave(std::string path) { NextSave = std::move(path); }
    // Every message box shown so far, in order.
    const std::vector<std::string>& Boxes() const { return Shown; }

    void MessageBox(std::string_view text) override;
    Answer AskYesNoCancel(std::string_view text) override;
    std::optional<std::string> OpenDialog(const std::string& proposed) override;
    std::optional<std::string> SaveDialog(const std::string& proposed) override;
    bool PrintWindow(std::string& error) override;
    bool OpenDocument(const std::string& name) override;
    std::string DateTimeText() override { return {}; }
    std::string ConfigDir() override;
    std::unique_ptr<SerialPort> MakeSerialPort(int comPort) override;
    Geometry WindowGeometry() override { return {}; }
    void SetWindowGeometry(const Geometry&) override {}
    void ScreenSize(int& width, int& height) override { width = height = 0; }
    ControlId FocusedControl() override { return ControlId::FormHlav; }
    void SetFocus(ControlId) override {}
    void CloseWindow() override {}
    void ShowAbout() override {}

  private:
    std::ostream& Err;
    PortMaker Port;
    std::optional<std::string> NextOpen, NextSave;
    std::vector<std::string> Shown;
};

} // namespace kelmor::cli
