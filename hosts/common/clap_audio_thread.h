// The host's audio thread: a thread of its own on which the host makes the calls the CLAP
// interface marks [audio thread] (start and stop processing, process, reset, a flush while
// active), one at a time, each while the caller waits. std::thread on Linux; the system's
// threads on Windows (the MinGW build has no std::thread).
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

namespace kavet::host {

// A thread's identity within the process, comparable across threads.
using ThreadId = std::uint64_t;
ThreadId currentThreadId();

class AudioThread {
public:
    AudioThread();  // starts the thread
    ~AudioThread(); // ends it once its call, if any, is done
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    ThreadId id() const;

    // Runs `call` on the thread; returns once it has run. Never from the thread itself.
    template <class Call> void run(Call&& call) {
        runJob(&call, [](void* c) { (*static_cast<std::remove_reference_t<Call>*>(c))(); });
    }

private:
    void runJob(void* context, void (*job)(void*));

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kavet::host
