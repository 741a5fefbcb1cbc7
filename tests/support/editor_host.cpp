// The editor host of the tests (editor_host.h).
#include "editor_host.h"

#include "input.h"

#include "toolkit/textedit.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace kavet::test {

namespace {

// A drag holds still after the press for longer than the double-click time (500 ms here), so
// the controls' double-click wait is over before the pointer moves.
constexpr DWORD kHoldMs = 600;

} // namespace

EditorHost::EditorHost(bool open, bool resume) {
    driver::useVirtualClock(1000);
    driver::resetInput();
    driver::setDoubleClickTime(500);
    host.emplace(100, 50, editor::kEditorWidth, editor::kEditorHeight, "KavetEditorTestHost");
    effect = VSTPluginMain(quietRecordingHost);
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    if (resume) dispatch(effMainsChanged, 0, 1);
    if (open) openEditor();
    calls().clear();
}

EditorHost::~EditorHost() {
    if (effect) {
        closeEditor();
        dispatch(effClose);
    }
    host.reset();
    driver::resetInput();
}

Plug& EditorHost::plug() const {
    return *static_cast<Plug*>(static_cast<AudioEffect*>(effect->object));
}

editor::PlugEd& EditorHost::editor() const {
    return *static_cast<editor::PlugEd*>(plug().getEditor());
}

HWND EditorHost::frameWindow() const {
    toolkit::CFrame* frame = editor().getFrame();
    return frame ? frame->getWindow() : nullptr;
}

VstIntPtr EditorHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

bool EditorHost::openEditor() {
    const bool opened = dispatch(effEditOpen, 0, 0, host->handle()) == 1;
    driver::pump(); // first paint
    return opened;
}

void EditorHost::closeEditor() {
    dispatch(effEditClose);
    driver::pump();
}

VstIntPtr EditorHost::closeEffect() {
    const VstIntPtr answer = dispatch(effClose);
    effect = nullptr;
    driver::pump();
    return answer;
}

void EditorHost::idle() {
    dispatch(effEditIdle);
    driver::pump();
}

void EditorHost::process(float level, int frames) {
    const int channels = effect->numInputs;
    std::vector<std::vector<float>> in(channels, std::vector<float>(frames, level));
    std::vector<std::vector<float>> out(channels, std::vector<float>(frames));
    std::vector<float*> inputs, outputs;
    for (int c = 0; c < channels; ++c) {
        inputs.push_back(in[c].data());
        outputs.push_back(out[c].data());
    }
    effect->processReplacing(effect, inputs.data(), outputs.data(), frames);
}

toolkit::CControl* EditorHost::control(std::int32_t tag) const {
    editor::CQRLFrame* frame = editor().getEditorFrame();
    return frame ? frame->findControl(tag) : nullptr;
}

std::string EditorHost::text(std::int32_t tag) const {
    editor::CQRLFrame* frame = editor().getEditorFrame();
    for (auto* link = frame ? frame->getFirstChild() : nullptr; link; link = link->pNext) {
        auto* field = dynamic_cast<toolkit::CTextEdit*>(link->pView);
        if (field == nullptr || field->getTag() != tag) continue;
        char buffer[256] = {};
        field->getText(buffer);
        return buffer;
    }
    return "<none>";
}

void EditorHost::click(int x, int y, unsigned modifiers) {
    test::click(frameWindow(), x, y, 30, modifiers);
}

void EditorHost::drag(int x0, int y0, int x1, int y1, int steps, unsigned modifiers) {
    test::drag(frameWindow(), {.x0 = x0,
                               .y0 = y0,
                               .x1 = x1,
                               .y1 = y1,
                               .holdMs = kHoldMs,
                               .glideMs = 100,
                               .steps = steps,
                               .afterMs = 20,
                               .modifiers = modifiers});
}

driver::Image EditorHost::capture() const {
    return driver::capture(host->handle());
}

} // namespace kavet::test
