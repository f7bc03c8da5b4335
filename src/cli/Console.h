#pragma once
#include <string>
#include <vector>

namespace kelmor::cli {

// Makes the standard streams carry bytes unchanged on every system: on
// Windows a stream in text mode writes CR LF for every LF, so a .ign file or
// CSV sent to standard output would arrive with doubled line ends.
void UseBinaryStandardStreams();

// The program's arguments (without its name) as UTF-8. On Windows the
// narrow argv is in the ANSI code page, which cannot hold every file name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace kelmor::cli
