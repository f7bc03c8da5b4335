#include "ui/TFormHlav.h"

namespace kelmor {

TFormHlav::TFormHlav(TPlatform& platform)
    : SerialLink([&platform](int comPort) { return platform.MakeSerialPort(comPort); }),
      Host(platform) {
    Scratch.reserve(256);
}

} // namespace kelmor
