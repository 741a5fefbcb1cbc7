// Debian's LV2 host jalv running a plug-in as a user runs it: a JACK server of the test's
// own (the dummy driver, no sound card), then jalv.gtk3 (the editor embedded in its window)
// or the console jalv (the editor in a window of its own), on the test's X display, with
// what they print collected as it comes. Both end when the object goes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kavet::test {

class JalvHost {
public:
    enum class Front { Gtk, Console };
    // `lv2Path`: LV2_PATH for jalv; `home`: its home folder (where it saves presets). Throws
    // std::runtime_error when the server or jalv does not start.
    JalvHost(Front front, const std::string& pluginUri, const std::string& lv2Path,
             const std::string& home);
    ~JalvHost();
    JalvHost(const JalvHost&) = delete;
    JalvHost& operator=(const JalvHost&) = delete;

    // Interrupts jalv as Control-C does; true when it then ended within `timeout` with exit
    // status 0 (its plug-in and UI torn down without a fault).
    bool interruptAndEnd(std::chrono::milliseconds timeout);
    // Waits until jalv has printed `text` after the mark; true when it did in time.
    bool waitFor(const std::string& text, std::chrono::milliseconds timeout);
    // What jalv printed after the mark, and a mark set at its end.
    std::string printed() const;
    void mark();

private:
    void readOutput(int fd);

    std::string server_;
    pid_t jackd_ = -1, jalv_ = -1;
    int input_ = -1; // jalv's standard input
    std::thread reader_;
    mutable std::mutex lock_;
    std::condition_variable grew_;
    std::string out_;
    std::size_t mark_ = 0;
};

} // namespace kavet::test
