// A command line that cannot be run as given (unknown option, missing or bad value).
#pragma once

#include "hosts/common/host_error.h"

namespace kavet::cli {

class UsageError : public host::HostError {
public:
    using host::HostError::HostError;
};

} // namespace kavet::cli
