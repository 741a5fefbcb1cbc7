// CDAEError: the framework's one exception, carrying a host error number. The module's
// exports and the routine table turn it into the status the host receives.
#pragma once

#include <cstdint>
#include <exception>

class CDAEError : public std::exception {
public:
    explicit CDAEError(std::int32_t code) : code_(code) {}
    std::int32_t GetErrorCode() const { return code_; }
    const char* what() const noexcept override { return "host-format framework error"; }

private:
    std::int32_t code_;
};
