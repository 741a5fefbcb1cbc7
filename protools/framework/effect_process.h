// CProcess and CEffectProcess: one inserted plug-in instance as the framework keeps it.
//
// CProcess holds what the host set up: the effect type, the sample rate (an integer in Hz),
// the channel counts of the connections and the host's callbacks. CEffectProcess adds the
// control list (1-based indices) with the master-bypass control, touch and release, the
// chunk registry with the "Complete Controls State" chunk, the current view and the
// plug-in's resource context.
#pragma once

#include "fic_types.h"
#include "plugin_interface.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEffectType;
class CPluginControl;
class CCustomView;
namespace ptfw {
struct ViewRect;
}

class CProcess {
public:
    // Takes the type and set-up of the creation in progress (see NewProcess in the group);
    // outside one: no type, 44100 Hz, one input and one output, no callbacks.
    CProcess();
    virtual ~CProcess() = default;
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    const CEffectType* GetType() const { return type_; }
    std::int32_t GetSampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    void SetSampleRate(std::int32_t rate) { sampleRate_.store(rate, std::memory_order_relaxed); }
    // [any thread]; written by the host between renders.
    int GetNumInputs() const { return inputs_.load(std::memory_order_relaxed); }
    int GetNumOutputs() const { return outputs_.load(std::memory_order_relaxed); }
    void SetChannelCounts(int inputs, int outputs);
    // Framework values by selector: 0 answers the sample rate; others 0.
    std::int32_t GetFrameworkValue(long selector) const;

    PtProcess* GetHandle() { return reinterpret_cast<PtProcess*>(this); }
    static CProcess* FromHandle(PtProcess* handle) { return reinterpret_cast<CProcess*>(handle); }

protected:
    const PtHostCallbacks& HostCallbacks() const { return callbacks_; }

private:
    const CEffectType* type_ = nullptr;
    std::atomic<std::int32_t> sampleRate_{44100};
    std::atomic<int> inputs_{1}, outputs_{1};
    PtHostCallbacks callbacks_{};
};

inline constexpr ptfw::OSType kControlsStateChunkID = ptfw::FourCC("ctls");
inline constexpr const char* kControlsStateChunkName = "Complete Controls State";

class CEffectProcess : public CProcess {
public:
    struct ChunkEntry {
        ptfw::OSType id;
        std::string name;
        std::uint32_t dataBytes;
    };

    CEffectProcess();
    ~CEffectProcess() override;

    // Called by the framework once, right after creation: the control-definition step,
    // then the registration of the controls-state chunk.
    void DoEffectInit();

    // Controls, 1-based.
    void AddControl(CPluginControl* control); // takes ownership
    long GetNumControls() const { return static_cast<long>(controls_.size()); }
    CPluginControl* GetControl(long index) const; // null outside 1..count
    // Throws CDAEError(kErrBadIndex) for an index without a control.
    void DefineMasterBypassControlIndex(long index);
    long GetMasterBypassControlIndex() const { return bypassIndex_; }
    bool IsBypassed() const;

    // The plug-in sets a control: store, tell the host (which records automation), then
    // update the algorithm. Status kErrBadIndex for an index without a control.
    std::int32_t SetControlValue(long index, std::int32_t value);
    // The host sets a control (edit, automation playback, restore): store, then update the
    // algorithm; the host is not told again.
    std::int32_t ApplyHostControlValue(long index, std::int32_t value);
    std::int32_t GetControlValue(long index, std::int32_t* value) const;
    std::int32_t GetControlDefaultValue(long index, std::int32_t* value) const;
    // A gesture on the control begins / ends (automation write passes).
    std::int32_t TouchControl(long index);
    std::int32_t ReleaseControl(long index);
    bool IsControlTouched(long index) const;

    // Chunks. Registration order is kept; a second registration of an ID replaces the first.
    void AddChunk(ptfw::OSType id, const char* name, std::uint32_t dataBytes);
    const std::vector<ChunkEntry>& GetChunkEntries() const { return chunks_; }
    const ChunkEntry* FindChunk(ptfw::OSType id) const;
    // The record holds at least 56 + the registered size; its header is filled except fSize.
    // Answer kNoErr after setting fSize and the data, or an error status.
    virtual std::int32_t GetChunk(ptfw::OSType id, ptfw::SFicPlugInChunk* chunk);
    // The record's fSize is at least 56 and its bytes are all readable.
    virtual std::int32_t SetChunk(ptfw::OSType id, const ptfw::SFicPlugInChunk* chunk);

    // The root view the host shows for this process (not owned) and its activation.
    void SetCurrentView(CCustomView* view) { view_ = view; }
    CCustomView* GetCurrentView() const { return view_; }
    void ActivateView(bool active);

    // The host's view requests. [UI thread] The plug-in's hooks are the virtual ones below;
    // these keep the framework's side: the root view (owned from creation to disposal) and
    // the drawing port.
    // Creates the root through CreateCustomPlugInView and makes it the current view; an
    // earlier root is disposed of first. False when the plug-in answers none.
    bool CreateView();
    // Detaches the port if one is attached, then destroys the root.
    void DisposeView();
    void* GetViewPort() const { return port_; }
    // Draws the part `area` of the current view tree.
    void DrawView(const ptfw::ViewRect& area);

    // The extent the plug-in's view wants; nothing by default (all 0).
    virtual void GetViewRect(PtViewRect* rect);
    // A new root view for the host's window, or null when the process has none.
    virtual CCustomView* CreateCustomPlugInView() { return nullptr; }
    // The host attaches its drawing port (or detaches it with null). The framework keeps
    // the port; a plug-in that overrides this calls the base first.
    virtual void SetViewPort(void* port) { port_ = port; }
    // The host's periodic idle while the view is shown.
    virtual void DoIdle() {}

    // The plug-in's resource file as the current one, nesting counted; answers the previous.
    std::int32_t EnterResourceContext();
    void LeaveResourceContext(std::int32_t previous);

protected:
    // The control-definition step: add the controls (and declare master bypass).
    virtual void EffectInit() {}
    // A control changed by any path: bring the algorithm in line with it.
    virtual void UpdateControlValueInAlgorithm(long index) { (void)index; }

private:
    std::int32_t StoreAndUpdate(long index, std::int32_t value, bool tellHost);

    std::vector<std::unique_ptr<CPluginControl>> controls_;
    std::vector<bool> touched_;
    long bypassIndex_ = 0;
    std::vector<ChunkEntry> chunks_;
    CCustomView* view_ = nullptr;
    std::unique_ptr<CCustomView> root_; // made by CreateView
    void* port_ = nullptr;
};
