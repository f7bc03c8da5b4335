#pragma once
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace kelmor {

// Where a file name meets the operating system. Names are UTF-8 in
// std::string throughout the program; on Windows the system's file calls
// take wide (UTF-16) names, and a narrow name would be read in the ANSI code
// page, garbling every letter outside ASCII.

// The path of a UTF-8 name, for std::filesystem and the file streams.
std::filesystem::path PathFromUtf8(std::string_view utf8);
// A path's name as UTF-8.
std::string Utf8FromPath(const std::filesystem::path& path);

// Creates a new file for writing in binary mode, never one that is already
// there. nullptr on failure, with errno EEXIST when the name was taken.
std::FILE* CreateNewFile(const std::string& utf8Path);

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

} // namespace kelmor
