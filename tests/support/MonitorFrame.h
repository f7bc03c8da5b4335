#pragma once
#include <cstdint>

#include "link/TMonitorData.h"
#include "params/TIgnParams.h"

namespace kelmor::test {

// The 50 data bytes of a monitor reply, version 67 unless set otherwise.
struct MonitorFrame {
    uint8_t data[50] = {};
    MonitorFrame() { Set(MonitorField::IgnVersion, PC_VERSION); }
    MonitorFrame& Set(int field, uint8_t v) {
        data[field - 1] = v;
        return *this;
    }
    MonitorFrame& Set16(int field, uint16_t v) {
        data[field - 1] = static_cast<uint8_t>(v & 0xFF);
        data[field] = static_cast<uint8_t>(v >> 8);
        return *this;
    }
    // An engine turning at `rpm` with `advance` degrees.
    static MonitorFrame Running(uint16_t rpm, int advance) {
        MonitorFrame f;
        f.Set16(MonitorField::Rpm, rpm).Set(MonitorField::Snimac, 1);
        f.Set(MonitorField::MonAdvance, static_cast<uint8_t>(advance + 100));
        return f;
    }
};

} // namespace kelmor::test
