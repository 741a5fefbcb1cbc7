#include "jalv_host.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kavet::test {
namespace {

pid_t spawn(const std::vector<std::string>& argv, int in, int out) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // A test that dies takes its server and host with it: a JACK server left behind keeps its
    // place in JACK's registry of servers, which has few.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (in >= 0) dup2(in, 0);
    if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(100'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

JalvHost::JalvHost(Front front, const std::string& pluginUri, const std::string& lv2Path,
                   const std::string& home)
    : server_("kavet-test") {
    // The clients find the server by name and never start one of their own.
    setenv("JACK_DEFAULT_SERVER", server_.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("LV2_PATH", lv2Path.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    const int devNull = ::open("/dev/null", O_RDWR);
    // One server name for every test (they run one at a time): where a server of that name
    // was left running by a test that was killed, this one fails to start and that one
    // serves.
    jackd_ =
        spawn({"jackd", "--no-realtime", "-n", server_, "-d", "dummy", "-r", "48000", "-p", "256"},
              devNull, devNull);
    const pid_t waiter = spawn({"jack_wait", "-w", "-s", server_, "-t", "20"}, devNull, devNull);
    int status = 0;
    waitpid(waiter, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ::close(devNull);
        stop(jackd_);
        throw std::runtime_error("the JACK server did not start");
    }
    int toJalv[2], fromJalv[2];
    if (pipe(toJalv) != 0 || pipe(fromJalv) != 0) throw std::runtime_error("pipe failed");
    // Line by line through the pipe, as on a terminal.
    std::vector<std::string> argv = {"stdbuf", "-oL", front == Front::Gtk ? "jalv.gtk3" : "jalv"};
    argv.push_back(front == Front::Gtk ? "--print-controls" : "-s");
    argv.push_back(pluginUri);
    jalv_ = spawn(argv, toJalv[0], fromJalv[1]);
    ::close(toJalv[0]);
    ::close(fromJalv[1]);
    ::close(devNull);
    input_ = toJalv[1];
    reader_ = std::thread([this, fd = fromJalv[0]] { readOutput(fd); });
}

JalvHost::~JalvHost() {
    if (input_ >= 0) ::close(input_);
    stop(jalv_);
    if (reader_.joinable()) reader_.join();
    stop(jackd_);
}

void JalvHost::readOutput(int fd) {
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        std::lock_guard g(lock_);
        out_.append(buffer, static_cast<std::size_t>(n));
        grew_.notify_all();
    }
    ::close(fd);
}

bool JalvHost::interruptAndEnd(std::chrono::milliseconds timeout) {
    kill(jalv_, SIGINT);
    const auto end = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(jalv_, &status, WNOHANG) != jalv_) {
        if (std::chrono::steady_clock::now() >= end) return false;
        usleep(50'000);
    }
    jalv_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool JalvHost::waitFor(const std::string& text, std::chrono::milliseconds timeout) {
    std::unique_lock g(lock_);
    return grew_.wait_for(g, timeout, [&] { return out_.find(text, mark_) != std::string::npos; });
}

std::string JalvHost::printed() const {
    std::lock_guard g(lock_);
    return out_.substr(mark_);
}

void JalvHost::mark() {
    std::lock_guard g(lock_);
    mark_ = out_.size();
}

} // namespace kavet::test
