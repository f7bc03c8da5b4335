#pragma once
#include <cstdint>
#include <string>

namespace CLI {
class Validator;
}

namespace kelmor::cli {

// Checks for option values, on the text as given: plain decimal digits (an
// optional sign for reals), nothing a C library would also take ("0x10",
// "010" as octal, "nan", "1e3" for a whole number). A whole number passes on
// without leading zeros, so that the conversion cannot read it as octal.
CLI::Validator WholeNumber(int64_t min, int64_t max);
CLI::Validator WholeNumberU64();
CLI::Validator Decimal(double min, double max, const std::string& unit = "");

} // namespace kelmor::cli
