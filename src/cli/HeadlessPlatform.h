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
// lines on standard error, dialogs choose nothing (the commands handle their
// files themselves), nothing is printed, and no settings are kept.
class HeadlessPlatform : public TPlatform {
  public:
    using PortMaker = std::function<std::unique_ptr<SerialPort>()>;

    // `port` makes the one port of the run, whatever COM number asks for it.
    HeadlessPlatform(std::ostream& err, PortMaker port);

    void MessageBox(std::string_view text) override;
    Answer AskYesNoCancel(std::string_view text) override;
    std::optional<std::string> OpenDialog(const std::string&) override { return {}; }
    std::optional<std::string> SaveDialog(const std::string&) override { return {}; }
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
};

} // namespace kelmor::cli
