// The one error type of the host side: a message of one line, meant for the user.
#pragma once

#include <stdexcept>
#include <string>

namespace kavet::host {

class HostError : public std::runtime_error {
public:
    // Line breaks in `message` (dlerror texts carry some) become spaces.
    explicit HostError(const std::string& message);
};

} // namespace kavet::host
