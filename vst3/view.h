// The editor's view in the host's window, the host's frame around it, and on Linux the
// host's run loop, which serves the view's timer and its window-system connection.
#pragma once

#include "base.h"

namespace kavet::vst3 {

// The parent window's type, as attached() names it.
inline constexpr const char* kPlatformTypeHWND = "HWND";
inline constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

class IPlugView;

class IPlugFrame : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

    virtual tresult KAVET_VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;

protected:
    ~IPlugFrame() = default;
};

// [UI thread], every call.
class IPlugView : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

    virtual tresult KAVET_VST3_CALL isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult KAVET_VST3_CALL attached(void* parent, FIDString type) = 0;
    virtual tresult KAVET_VST3_CALL removed() = 0;
    virtual tresult KAVET_VST3_CALL onWheel(float distance) = 0;
    virtual tresult KAVET_VST3_CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult KAVET_VST3_CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult KAVET_VST3_CALL getSize(ViewRect* size) = 0;
    virtual tresult KAVET_VST3_CALL onSize(ViewRect* newSize) = 0;
    virtual tresult KAVET_VST3_CALL onFocus(TBool state) = 0;
    virtual tresult KAVET_VST3_CALL setFrame(IPlugFrame* frame) = 0;
    virtual tresult KAVET_VST3_CALL canResize() = 0;
    virtual tresult KAVET_VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;

protected:
    ~IPlugView() = default;
};

using FileDescriptor = int;
using TimerInterval = uint64; // milliseconds

class IEventHandler : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

    virtual void KAVET_VST3_CALL onFDIsSet(FileDescriptor fd) = 0;

protected:
    ~IEventHandler() = default;
};

class ITimerHandler : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

    virtual void KAVET_VST3_CALL onTimer() = 0;

protected:
    ~ITimerHandler() = default;
};

// The host's run loop (Linux), asked of the view's frame.
class IRunLoop : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

    virtual tresult KAVET_VST3_CALL registerEventHandler(IEventHandler* handler,
                                                         FileDescriptor fd) = 0;
    virtual tresult KAVET_VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult KAVET_VST3_CALL registerTimer(ITimerHandler* handler,
                                                  TimerInterval milliseconds) = 0;
    virtual tresult KAVET_VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;

protected:
    ~IRunLoop() = default;
};

} // namespace kavet::vst3
