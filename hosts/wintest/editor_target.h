// What kavet-wintest --editor drives: one effect's editor in the host's window, a VST 2.4
// effect (idled by effEditIdle) or a VST 3 effect's view or a CLAP plug-in's editor (idled by
// their own timer, of which each idle step lets exactly one turn through), and the message
// pumping they share.
#pragma once

#include <windows.h>

#include <memory>

class EditorTarget {
public:
    virtual ~EditorTarget() = default;
    // The editor's size, known before the window is made; false when there is no editor.
    virtual bool size(int& width, int& height) = 0;
    virtual bool open(HWND window) = 0;
    virtual void close() = 0;
    virtual void set(int index, float value) = 0;
    virtual void mains(bool on) = 0;
    // FRAMES frames of the constant LEVEL on every channel.
    virtual void process(float level, int frames) = 0;
    // One idle of the editor, then the window's messages until it is quiet.
    virtual bool idle() = 0;
    // Whether the thread's timer messages may be dispatched between steps (they idle a
    // VST 3 view: only idle() lets one through).
    virtual bool timersAnyTime() const = 0;
};

// The VST 2.4 module's effect (VSTPluginMain), opened at 44.1 kHz with the mains on.
std::unique_ptr<EditorTarget> makeVst2Target(const char* modulePath);
// The VST 3 module's effect of the configuration (`stereo`), set up at 44.1 kHz and active.
std::unique_ptr<EditorTarget> makeVst3Target(const char* modulePath, bool stereo);
// The CLAP module's plug-in of the configuration (`stereo`), active at 44.1 kHz, its editor
// created for win32.
std::unique_ptr<EditorTarget> makeClapTarget(const char* modulePath, bool stereo);

// Dispatches the thread's messages (timer messages only when `timers`) until none has come
// for 150 ms; false when they did not stop within 10 s.
bool pumpUntilQuiet(bool timers = true);
// Waits for the thread's next timer message and dispatches it alone (the others stay
// queued); false when none came within 10 s.
bool dispatchOneTimer();
