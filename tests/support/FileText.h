#pragma once
#include <fstream>
#include <sstream>
#include <string>

namespace kelmor::test {

// The whole content of a file, bytes as they are; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace kelmor::test
