// A Linux host of the project's own, built like a real one: a top-level X window, the
// module loaded through dlopen and its entry, the editor opened with the window's id and
// idled every 20 ms, the user's input made by the X server itself through XTEST on a second
// connection (from a thread, as a person acts while the host idles), and the editor's
// window read back with XGetImage. Optionally an XEmbed embedder: it tells the editor's
// window it is embedded and records the editor's messages to each of its windows.
#pragma once

#include "hosts/common/vst_module.h"
#include "recording_host.h"
#include "x11_input.h"

#include <kavet/driver.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kavet::x11test {

using test::HostCall;

class X11Host {
public:
    // The embedder that XEMBED_EMBEDDED_NOTIFY names (its data.l[3]); none means the parent.
    enum class Embedder { Parent, Apart, Unnamed };
    struct Options {
        std::string module;
        int x = 100, y = 80; // the host window on the screen
        bool xembed = false;
        Embedder embedder = Embedder::Parent;
    };
    explicit X11Host(Options options);
    ~X11Host();
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    Display* display() const { return display_; }
    XWindow window() const { return window_; }
    // The window the editor's XEmbed messages belong to: the parent, or the window apart.
    XWindow embedder() const { return apart_ ? apart_ : window_; }
    AEffect* effect() const { return effect_; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    float parameter(int index) const { return effect_->getParameter(effect_, index); }

    // The host's window goes first, the editor still open in it.
    void destroyHostWindow();
    // After the test itself sent effClose: the record is gone, leave it alone.
    void forgetEffect();
    // The host unloads the module without closing the effect (a host's mistake).
    void unloadModule();

    bool openEditor();
    void closeEditor();
    // The editor's X window: our window's child, or 0.
    XWindow editorWindow() const;
    // `count` editor idles, 20 ms apart (with the server's events flushed before each).
    void idle(int count = 1);
    // Constant `level` through processReplacing on every channel.
    void process(float level, int frames);
    // Performs `steps` from a thread of its own while this thread idles the editor; returns
    // when they are done and the editor has idled 5 times more.
    void perform(const std::vector<Input>& steps);
    // The editor's window as the server holds it; the host's window with the editor in it.
    driver::Image capture() const;
    driver::Image captureHost() const;

    // Host callbacks since the last clear (audioMasterVersion and audioMasterIdle left out).
    std::vector<HostCall> calls;
    // XEmbed messages the editor sent to this host (the message word), with `xembed`, by the
    // window they reached (0: a message naming another window than the one it reached).
    std::map<XWindow, std::vector<long>> xembedMessages;

private:
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
    void handleEvents();

    Options options_;
    Display* display_ = nullptr;
    XWindow window_ = 0;
    Display* apartDisplay_ = nullptr; // with Embedder::Apart: the window apart's connection
    XWindow apart_ = 0;               // an unmapped top-level window there
    std::unique_ptr<host::VstModule> module_;
    AEffect* effect_ = nullptr;
    bool open_ = false;
};

// The number of windows under the root, counted through the whole tree.
int windowCount(Display* display);

// The pixels of `window` as the server holds them (a 24-bit TrueColor screen); empty when
// there is no such window.
driver::Image readWindow(Display* display, XWindow window);

} // namespace kavet::x11test
