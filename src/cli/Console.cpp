#include "cli/Console.h"

namespace kelmor::cli {

// Streams are bytes here already.
void UseBinaryStandardStreams() {}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

} // namespace kelmor::cli
