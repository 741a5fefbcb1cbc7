// The CLAP plug-in's editor as a Windows host shows it: created for "win32", its size read,
// parented into the window (an HWND) and shown. The editor idles on a timer of its own
// thread; an idle step dispatches exactly one of its turns, as the VST 2.4 host's step calls
// effEditIdle once.
#include "editor_target.h"

#include "hosts/common/clap_plugin.h"
#include "hosts/common/host_error.h"

#include <cstdio>
#include <vector>

namespace {

using namespace kavet;
using namespace kavet::clap;

class ClapTarget final : public EditorTarget {
public:
    ClapTarget(const char* path, bool stereo)
        : module_(std::make_shared<const host::ClapModule>(path)),
          plugin_(module_, stereo ? "com.velmorant.kavet.stereo" : "com.velmorant.kavet.mono") {
        if (!plugin_.activate(44100.0, 1, 4096) || !plugin_.startProcessing())
            throw host::HostError("the plug-in did not start");
        if (!plugin_.guiCreate(kWindowApiWin32))
            throw host::HostError("the plug-in made no editor for win32");
    }
    ~ClapTarget() override {
        close();
        plugin_.close();
        for (const host::LogEntry& e : plugin_.host().misbehaviour())
            std::printf("FAIL  editor: %s\n", e.message.c_str());
    }

    bool size(int& width, int& height) override {
        uint32 w = 0, h = 0;
        if (!plugin_.gui()->get_size(plugin_.plugin(), &w, &h)) return false;
        width = static_cast<int>(w);
        height = static_cast<int>(h);
        return true;
    }
    bool open(HWND window) override {
        Window parent{};
        parent.api = kWindowApiWin32;
        parent.win32 = window;
        open_ = plugin_.guiSetParent(parent) && plugin_.guiShow();
        return open_;
    }
    void close() override {
        if (!plugin_.guiCreated()) return;
        if (open_) (void)plugin_.guiHide();
        plugin_.guiDestroy();
        open_ = false;
    }
    // The host's value goes in a flush (on the audio thread: the plug-in is active).
    void set(int index, float value) override {
        host::EventList events(1, 64);
        const ParamValueEvent e = host::paramValueEvent(0, static_cast<Id>(index), value);
        if (!events.push(&e.header) || !plugin_.flush(events))
            std::printf("FAIL  editor: the value of %d was not flushed\n", index);
    }
    void mains(bool on) override {
        if (!on)
            plugin_.deactivate();
        else if (!plugin_.activate(44100.0, 1, 4096) || !plugin_.startProcessing())
            std::printf("FAIL  editor: the plug-in did not start again\n");
    }
    void process(float level, int frames) override {
        const auto count = static_cast<std::size_t>(frames);
        std::vector<std::vector<float>> in(plugin_.inputChannels(),
                                           std::vector<float>(count, level));
        std::vector<std::vector<float>> out(plugin_.outputChannels(), std::vector<float>(count));
        std::vector<const float*> inputs;
        std::vector<float*> outputs;
        for (auto& c : in)
            inputs.push_back(c.data());
        for (auto& c : out)
            outputs.push_back(c.data());
        const host::ClapProcessResult r = plugin_.process(
            inputs.data(), outputs.data(), static_cast<uint32>(frames), host::EventList(1, 64));
        if (!r.called || r.status == kProcessError)
            std::printf("FAIL  editor: a block of %d frames was refused\n", frames);
    }
    bool idle() override { return dispatchOneTimer() && pumpUntilQuiet(false); }
    bool timersAnyTime() const override { return false; }

private:
    std::shared_ptr<const host::ClapModule> module_;
    host::ClapPlugin plugin_;
    bool open_ = false;
};

} // namespace

std::unique_ptr<EditorTarget> makeClapTarget(const char* modulePath, bool stereo) {
    try {
        return std::make_unique<ClapTarget>(modulePath, stereo);
    } catch (const host::HostError& e) {
        std::printf("FAIL  editor: %s\n", e.what());
        return nullptr;
    }
}
