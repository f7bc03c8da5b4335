#include "cli/HeadlessPlatform.h"

namespace kelmor::cli {

HeadlessPlatform::HeadlessPlatform(std::ostream& err, PortMaker port)
    : Err(err), Port(std::move(port)) {}

void HeadlessPlatform::MessageBox(std::string_view text) {
    Err << text << '\n' << std::flush;
}

TPlatform::Answer HeadlessPlatform::AskYesNoCancel(std::string_view text) {
    Err << text << '\n' << std::flush;
    return Answer::Cancel;
}

bool HeadlessPlatform::PrintWindow(std::string& error) {
    error = "There is no window to print.";
    return false;
}

bool HeadlessPlatform::OpenDocument(const std::string&) {
    return false;
}

// A folder that can never exist: the tool reads neither the window's
// settings nor its last parameter set, so every run starts from the defaults
// in English, and it never writes them.
std::string HeadlessPlatform::ConfigDir() {
#ifdef _WIN32
    // Windows makes a folder \dev\null; no name may hold a "|".
    return "|no settings|\\kelmor";
#else
    return "/dev/null/kelmor";
#endif
}

std::unique_ptr<SerialPort> HeadlessPlatform::MakeSerialPort(int) {
    return Port ? Port() : nullptr;
}

} // namespace kelmor::cli
