#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "FakeSerialPort.h"
#include "TestFiles.h"
#include "link/TLinkFrame.h"
#include "ui/TFormHlav.h"

namespace kelmor::test {

// The last transfer's end as the status line and the workshop record say it.
inline std::string EndText(const TFormHlav& form) {
    std::string text;
    TransferEndText(form.LastTransfer, form.Messages, text);
    return text;
}

// The main window on a scripted line, started as the program starts it.
class FormFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        Host.Config = Config.Path();
        Host.PortFactory = [this](int) { return std::make_unique<FakeSerialPort>(Line); };
    }
    TFormHlav& Start(const std::vector<std::string>& args = {}) {
        Form = std::make_unique<TFormHlav>(Host);
        Form->FormCreate(args);
        return *Form;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Form->Timer1Timer();
    }
    WindowModel& W() { return Form->Model(); }
    const ControlState& S(ControlId id) { return Form->Model()[id]; }

    // Feeds one frame with a correct checksum onto the line.
    void Feed(uint8_t command, const uint8_t* data) {
        TLinkFrame f;
        BuildFrame(f, command, data);
        Line.Received.insert(Line.Received.end(), f.Bytes.begin(), f.Bytes.end());
    }
    // Number of frames written so far with this command byte.
    int Sent(uint8_t command) const {
        int n = 0;
        for (size_t i = 0; i + FRAME_SIZE <= Line.Written.size(); i += FRAME_SIZE)
            if (Line.Written[i] == command) ++n;
        return n;
    }

    TempFolder Config;
    FakeSerialPort::Shared Line;
    FakePlatform Host;
    std::unique_ptr<TFormHlav> Form;
};

} // namespace kelmor::test
