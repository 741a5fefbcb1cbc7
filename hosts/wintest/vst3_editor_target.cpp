// The VST 3 effect's editor as a Windows host shows it: the view created once processor and
// controller are connected, given the host's frame and attached to the window (an HWND).
// The view idles on a timer of its own thread; an idle step dispatches exactly one of its
// turns, as the VST 2.4 host's step calls effEditIdle once.
#include "editor_target.h"

#include "hosts/common/host_error.h"
#include "hosts/common/vst3_plugin.h"
#include "hosts/common/vst3_view_frame.h"

#include <cstdio>
#include <vector>

namespace {

using namespace kavet;
using namespace kavet::vst3;

const Uid kStereoProcessor = Uid::of(0x63D8185C, 0xD76849FC, 0x95C555A3, 0xAF947C01);
const Uid kMonoProcessor = Uid::of(0x0ABB84B5, 0xF63E45B6, 0x86946F55, 0x9B107B95);

class Vst3Target final : public EditorTarget {
public:
    Vst3Target(const char* path, bool stereo)
        : module_(std::make_shared<const host::Vst3Module>(path)),
          fx_(module_, stereo ? kStereoProcessor : kMonoProcessor) {
        if (!fx_.setup(44100.0, 4096) || !fx_.activate())
            throw host::HostError("the processor did not start");
        view_ = fx_.createView();
    }
    ~Vst3Target() override {
        close();
        view_.reset();
    }

    bool size(int& width, int& height) override {
        ViewRect rect{};
        if (!view_ || view_->getSize(&rect) != kResultOk) return false;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
        return true;
    }
    bool open(HWND window) override {
        view_->setFrame(frame_.get());
        open_ = view_->attached(window, kPlatformTypeHWND) == kResultOk;
        return open_;
    }
    void close() override {
        if (!open_) return;
        view_->removed();
        view_->setFrame(nullptr);
        open_ = false;
    }
    // The host's value goes to the controller and, in a block of no samples, to the processor.
    void set(int index, float value) override {
        const auto id = static_cast<ParamID>(index);
        fx_.controller()->setParamNormalized(id, value);
        const host::ParamChange change{id, 0, value};
        run(0.0f, 0, {&change, 1});
    }
    void mains(bool on) override {
        if (on)
            (void)fx_.activate();
        else
            fx_.deactivate();
    }
    void process(float level, int frames) override { run(level, frames, {}); }
    bool idle() override { return dispatchOneTimer() && pumpUntilQuiet(false); }
    bool timersAnyTime() const override { return false; }

private:
    void run(float level, int frames, std::span<const host::ParamChange> changes) {
        const auto count = static_cast<std::size_t>(frames);
        std::vector<std::vector<float>> in(static_cast<std::size_t>(fx_.inputChannels()),
                                           std::vector<float>(count, level));
        std::vector<std::vector<float>> out(static_cast<std::size_t>(fx_.outputChannels()),
                                            std::vector<float>(count));
        std::vector<const float*> inputs;
        std::vector<float*> outputs;
        for (auto& c : in)
            inputs.push_back(c.data());
        for (auto& c : out)
            outputs.push_back(c.data());
        if (!fx_.process(inputs.data(), outputs.data(), frames, changes).ok)
            std::printf("FAIL  editor: a block of %d frames was refused\n", frames);
    }

    std::shared_ptr<const host::Vst3Module> module_;
    host::Vst3Plugin fx_;
    host::Ref<host::ViewFrame> frame_ = host::Ref<host::ViewFrame>::adopt(new host::ViewFrame);
    host::Ref<IPlugView> view_;
    bool open_ = false;
};

} // namespace

std::unique_ptr<EditorTarget> makeVst3Target(const char* modulePath, bool stereo) {
    try {
        return std::make_unique<Vst3Target>(modulePath, stereo);
    } catch (const host::HostError& e) {
        std::printf("FAIL  editor: %s\n", e.what());
        return nullptr;
    }
}
