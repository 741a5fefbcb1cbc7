#include "clap_audio_thread.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace kavet::host {

#if defined(_WIN32)

ThreadId currentThreadId() {
    return GetCurrentThreadId();
}

// Two auto-reset events hand a job over and its end back.
struct AudioThread::State {
    HANDLE thread = nullptr;
    HANDLE start = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD id = 0;
    void* context = nullptr;
    void (*job)(void*) = nullptr;
    bool quit = false;

    static DWORD WINAPI main(void* self) {
        auto* s = static_cast<State*>(self);
        for (;;) {
            WaitForSingleObject(s->start, INFINITE);
            if (s->quit) return 0;
            s->job(s->context);
            SetEvent(s->done);
        }
    }
};

AudioThread::AudioThread() : state_(std::make_unique<State>()) {
    state_->thread = CreateThread(nullptr, 0, State::main, state_.get(), 0, &state_->id);
}

AudioThread::~AudioThread() {
    state_->quit = true;
    SetEvent(state_->start);
    WaitForSingleObject(state_->thread, INFINITE);
    CloseHandle(state_->thread);
    CloseHandle(state_->start);
    CloseHandle(state_->done);
}

ThreadId AudioThread::id() const {
    return state_->id;
}

void AudioThread::runJob(void* context, void (*job)(void*)) {
    state_->context = context;
    state_->job = job;
    SetEvent(state_->start);
    WaitForSingleObject(state_->done, INFINITE);
}

#else

ThreadId currentThreadId() {
    return static_cast<ThreadId>(pthread_self());
}

struct AudioThread::State {
    std::mutex mutex;
    std::condition_variable changed;
    void* context = nullptr;
    void (*job)(void*) = nullptr; // set: a job waits; cleared by the thread once it ran
    bool quit = false;
    ThreadId id = 0;
    std::thread thread;

    void main() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return quit || job != nullptr; });
            if (job == nullptr) return; // quit with nothing left to run
            job(context);
            job = nullptr;
            changed.notify_all();
        }
    }
};

AudioThread::AudioThread() : state_(std::make_unique<State>()) {
    std::unique_lock lock(state_->mutex);
    state_->thread = std::thread([s = state_.get()] {
        {
            std::lock_guard started(s->mutex);
            s->id = currentThreadId();
        }
        s->changed.notify_all();
        s->main();
    });
    state_->changed.wait(lock, [this] { return state_->id != 0; });
}

AudioThread::~AudioThread() {
    {
        std::lock_guard lock(state_->mutex);
        state_->quit = true;
    }
    state_->changed.notify_all();
    state_->thread.join();
}

ThreadId AudioThread::id() const {
    return state_->id;
}

// The caller waits (the lock released) until the thread has run the job and cleared it.
void AudioThread::runJob(void* context, void (*job)(void*)) {
    std::unique_lock lock(state_->mutex);
    state_->context = context;
    state_->job = job;
    state_->changed.notify_all();
    state_->changed.wait(lock, [this] { return state_->job == nullptr; });
}

#endif

} // namespace kavet::host
