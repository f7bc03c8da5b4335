#pragma once
#include <string>

#include "FormFixture.h"
#include "SimScenario.h"

namespace kelmor::test {

// The main window on the simulated unit, started as the program starts it:
// where every transfer scenario begins.
class SimFormFixture : public FormFixture, public SimScenario {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Host.PortFactory = [this](int) { return Port(); };
        Start();
    }
    TIgnParams& P() { return Form->Params(); }
    const std::string& Status() { return S(ControlId::LabelHlaseni).Caption; }
    // Ticks, each with what follows it, until the transfer has ended: the
    // number of ticks it took, or -1 when it still runs after `budget`.
    int RunToIdle(int budget = 200) {
        for (int t = 1; t <= budget; ++t) {
            Form->OnTimer1();
            if (Form->Mode == tmIdle) return t;
        }
        return -1;
    }
};

} // namespace kelmor::test
