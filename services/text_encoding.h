#pragma once

#include <string>

namespace qorva {

// ASCII letters, digits, "-", ".", "_" and "~" stay; every other byte becomes "%XX" (upper-case
// hexadecimal), so no byte of the text can end a query value or reach the wire as a control.
std::string PercentEncode(const std::string& bytes);

}  // namespace qorva
