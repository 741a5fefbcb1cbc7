// ContractCatcher: while it lives, contract reports (base/contract.h) are counted instead of
// failing the running test, so a test can check that a call reports a broken contract, or
// that a host mistake is answered without one. One catcher at a time.
#pragma once

#include "base/contract.h"

#include <atomic>

namespace kavet::test {

class ContractCatcher {
public:
    ContractCatcher() : previous_(contract::setHandler(&count)) { reports_.store(0); }
    ~ContractCatcher() { contract::setHandler(previous_); }
    ContractCatcher(const ContractCatcher&) = delete;
    ContractCatcher& operator=(const ContractCatcher&) = delete;

    // Reports since the catcher was made.
    int reports() const { return reports_.load(); }

private:
    static void count(const char*, int, const char*) { reports_.fetch_add(1); }

    static inline std::atomic<int> reports_{0};
    contract::Handler previous_;
};

} // namespace kavet::test
