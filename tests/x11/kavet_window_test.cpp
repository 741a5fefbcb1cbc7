// "kavet editor --window" on Xvfb, run as a user runs it and looked at as a window manager
// sees it: its top-level window by name, the editor inside, the meters moving with the
// signal, a click in the editor printed as a parameter change, and the end when the window
// is closed.
#include "x11_input.h"

#include "audio_io.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

// After GoogleTest: Xlib's macros would break its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kavet::x11test {
namespace {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

constexpr int kEditorWidth = layout::kEditorWidth, kEditorHeight = layout::kEditorHeight;
constexpr layout::Rect kPhaseSwitch = layout::rect(layout::Id::Phase);
constexpr int kPhaseX = kPhaseSwitch.left + 10, kPhaseY = kPhaseSwitch.top + 8;

// kavet started as from a terminal while the test watches: standard output on a pipe, read
// line by line as it comes, standard error in a file.
class Kavet {
public:
    explicit Kavet(const std::vector<std::string>& args) {
        char folder[] = "/tmp/kavet-window-XXXXXX";
        if (!mkdtemp(folder)) throw std::runtime_error("mkdtemp failed");
        errPath_ = std::string(folder) + "/stderr";
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe failed");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (err < 0 || dup2(out[1], STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
                _exit(126);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>(KAVET_BINARY)};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(KAVET_BINARY, argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
    }
    ~Kavet() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
        std::filesystem::remove_all(std::filesystem::path(errPath_).parent_path());
    }
    Kavet(const Kavet&) = delete;
    Kavet& operator=(const Kavet&) = delete;

    // The next line of standard output, waiting up to `timeout`; none at the end or after
    // the timeout.
    std::optional<std::string> nextLine(Ms timeout) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<Ms>(until - std::chrono::steady_clock::now());
            pollfd p{out_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return std::nullopt;
            char chunk[256];
            const ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // The exit status once it has exited within `timeout` (128 + the signal that ended it),
    // or none.
    std::optional<int> exitStatus(Ms timeout) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }

    std::string errors() const {
        std::ifstream file(errPath_);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    pid_t pid_ = 0;
    int out_ = -1;
    std::string errPath_;
    std::string buffer_;
};

// The top-level window called `title`, or 0.
Window topLevelNamed(Display* d, const std::string& title) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(d, children[i], &name) && name) {
                if (title == name) found = children[i];
                XFree(name);
            }
        }
    }
    if (children) XFree(children);
    return found;
}

std::vector<Window> childrenOf(Display* d, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> list;
    if (XQueryTree(d, w, &root, &parent, &children, &count))
        list.assign(children, children + count);
    if (children) XFree(children);
    return list;
}

std::pair<int, int> sizeOf(Display* d, Window w) {
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    return {a.width, a.height};
}

// The window's pixels as the server holds them.
std::string pixels(Display* d, Window w) {
    const auto [width, height] = sizeOf(d, w);
    XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return {};
    std::string bytes(image->data, static_cast<std::size_t>(image->bytes_per_line) * height);
    XDestroyImage(image);
    return bytes;
}

// How a window manager closes a window whose client takes part in WM_DELETE_WINDOW.
void sendDeleteWindow(Display* d, Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}

// 0.3 s at 44.1 kHz: a 1 kHz tone at -6 dBFS for half, silence for the other half. Played
// once, the meters (with their peak hold) stand still some 3 s later; looped, they keep
// moving.
void writeShortSignal(const std::string& path) {
    test::Audio audio;
    audio.sampleRate = 44100;
    audio.channels = 1;
    for (int i = 0; i < 13230; ++i)
        audio.samples.push_back(i < 6615 ? 0.5f * static_cast<float>(std::sin(i * 0.14247585))
                                         : 0.0f);
    test::writeAudio(path, audio);
}

// The test's own connection to the display, as a window manager's.
struct Connection {
    Connection() : d(XOpenDisplay(nullptr)) {}
    ~Connection() {
        if (d) XCloseDisplay(d);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Display* const d;
};

enum class Close { DeleteWindow, Destroy };

TEST(KavetWindow, ShowsTheEditorPrintsItsChangesAndEndsWithTheWindow) {
    Connection x;
    ASSERT_NE(x.d, nullptr) << "no X display";
    const std::string shortWav = (std::filesystem::temp_directory_path() /
                                  ("kavet-window-" + std::to_string(getpid()) + ".wav"))
                                     .string();
    writeShortSignal(shortWav);

    struct Case {
        const char* name;
        std::vector<std::string> args; // after "editor --window"
        const char* title;
        const char* phaseLine; // printed after the click on Phase
        Close close;
    };
    const Case cases[] = {
        {"stereo, demo signal, closed by the window manager",
         {"--signal", "demo", "--gain", "-6"},
         "Kavet Stereo",
         "Phase: Flip (Norm/Flip)",
         Close::DeleteWindow},
        {"mono, short file looped, phase flipped at the start, window destroyed",
         {"--plugin", KAVET_MODULE_MONO, "--signal", shortWav, "--phase"},
         "Kavet Mono",
         "Phase: Norm (Norm/Flip)",
         Close::Destroy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"editor", "--window"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Kavet kavet(args);
        const auto ready = kavet.nextLine(10s);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(ready) << kavet.errors();
        EXPECT_NE(ready->find(std::string(c.title) + ", " + std::to_string(kEditorWidth) + " x " +
                              std::to_string(kEditorHeight) + " pixels"),
                  std::string::npos)
            << *ready;

        const Window top = topLevelNamed(x.d, c.title);
        ASSERT_NE(top, 0u) << "no top-level window named " << c.title;
        EXPECT_EQ(sizeOf(x.d, top), std::make_pair(kEditorWidth, kEditorHeight));
        const std::vector<Window> inside = childrenOf(x.d, top);
        ASSERT_EQ(inside.size(), 1u);
        const Window editor = inside[0];
        EXPECT_EQ(sizeOf(x.d, editor), std::make_pair(kEditorWidth, kEditorHeight));

        int originX = 0, originY = 0;
        Window child = 0;
        XTranslateCoordinates(x.d, editor, DefaultRootWindow(x.d), 0, 0, &originX, &originY,
                              &child);
        perform(DisplayString(x.d), originX, originY, click(kPhaseX, kPhaseY));
        EXPECT_EQ(kavet.nextLine(3s), std::optional<std::string>(c.phaseLine));

        // Late enough that a signal played once would have left the meters still by now.
        std::this_thread::sleep_until(start + 3500ms);
        std::set<std::string> pictures;
        for (int i = 0; i < 8; ++i) {
            pictures.insert(pixels(x.d, editor));
            std::this_thread::sleep_for(70ms);
        }
        EXPECT_GE(pictures.size(), 4u) << "the meters stand still";

        if (c.close == Close::DeleteWindow) {
            sendDeleteWindow(x.d, top);
        } else {
            XDestroyWindow(x.d, top);
            XSync(x.d, False);
        }
        EXPECT_EQ(kavet.exitStatus(5s), std::optional<int>(0));
        EXPECT_EQ(kavet.nextLine(1s), std::nullopt) << "printed more than one change";
        EXPECT_EQ(kavet.errors(), "");
        EXPECT_EQ(topLevelNamed(x.d, c.title), 0u);
    }
    std::filesystem::remove(shortWav);
}

} // namespace
} // namespace kavet::x11test
