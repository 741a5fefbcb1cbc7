// Contracts: KAVET_EXPECT checks an invariant the project's own code must keep. A broken one
// is a programming error: it is reported through a process-wide handler and the function
// answers its safe value. Host mistakes (bad indices, null pointers, wrong sizes a host, a
// file or a user can send) are not contracts: they keep their documented quiet answer.
//
// The handler is a single atomic function pointer, so a report takes no lock and allocates
// nothing and may come from the audio thread. It is null in release builds (quiet), a
// printer to stderr in builds without NDEBUG, and the test runner's own in the tests (the
// running test fails).
#pragma once

#include <atomic>
#include <cstdio>

namespace kavet::contract {

// `condition` is the text of the broken condition. [any thread]
using Handler = void (*)(const char* file, int line, const char* condition);

inline void printToStderr(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: contract violated: %s\n", file, line, condition);
}

#ifdef NDEBUG
inline constexpr Handler kDefaultHandler = nullptr;
#else
inline constexpr Handler kDefaultHandler = &printToStderr;
#endif

inline std::atomic<Handler> handler{kDefaultHandler};

// Installs `next` and answers the handler it replaces. [any thread]
inline Handler setHandler(Handler next) {
    return handler.exchange(next, std::memory_order_acq_rel);
}

// [any thread]
inline void report(const char* file, int line, const char* condition) {
    if (Handler h = handler.load(std::memory_order_acquire)) h(file, line, condition);
}

} // namespace kavet::contract

// KAVET_EXPECT(condition) returns from a void function, KAVET_EXPECT(condition, value)
// answers `value`, after reporting the broken condition.
#define KAVET_EXPECT(condition, ...)                                                               \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::kavet::contract::report(__FILE__, __LINE__, #condition);                             \
            return __VA_ARGS__;                                                                    \
        }                                                                                          \
    } while (false)
