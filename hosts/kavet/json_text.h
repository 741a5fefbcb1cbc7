// JSON text for the reports of kavet process: strings escaped after RFC 8259, numbers that
// read back to the same double, and null for what has no finite value (silence in dB).
#pragma once

#include <string>

namespace kavet::cli {

std::string jsonString(const std::string& text);
std::string jsonNumber(double value);

} // namespace kavet::cli
