#include "host_error.h"

#include <algorithm>

namespace kavet::host {

namespace {

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

HostError::HostError(const std::string& message) : std::runtime_error(oneLine(message)) {}

} // namespace kavet::host
