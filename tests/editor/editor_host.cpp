#include "editor_host.h"

#include "toolkit/textedit.h"

#include <cstdlib>
#include <cstring>

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace kavet::test {

namespace {

constexpr const char* kHostClass = "KavetEditorTestHost";
// A drag holds still after the press for longer than the double-click time (500 ms here), so
// the controls' double-click wait is over before the pointer moves.
constexpr DWORD kHoldMs = 600;

VstIntPtr VSTCALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                    float opt) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterIdle:
        return 1;
    default:
        EditorHost::calls().push_back({opcode, index, opt});
        return opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ? 1 : 0;
    }
}

} // namespace

std::vector<HostCall>& EditorHost::calls() {
    static std::vector<HostCall> log;
    return log;
}

EditorHost::EditorHost(bool open, bool resume) {
    driver::useVirtualClock(1000);
    driver::resetInput();
    driver::setDoubleClickTime(500);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    host =
        CreateWindowExA(0, kHostClass, "Host", WS_POPUP | WS_VISIBLE, 100, 50, editor::kEditorWidth,
                        editor::kEditorHeight, nullptr, nullptr, wc.hInstance, nullptr);
    effect = VSTPluginMain(recordingHost);
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
    DestroyWindow(host);
    UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
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
    const bool opened = dispatch(effEditOpen, 0, 0, host) == 1;
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
    driver::Script()
        .moveTo(frameWindow(), x, y)
        .press(driver::Button::Left, modifiers)
        .wait(30)
        .release(driver::Button::Left)
        .modifiers(driver::NoModifier)
        .start();
    driver::runScript();
    driver::pump();
}

void EditorHost::drag(int x0, int y0, int x1, int y1, int steps, unsigned modifiers) {
    driver::Script()
        .moveTo(frameWindow(), x0, y0)
        .press(driver::Button::Left, modifiers)
        .wait(kHoldMs)
        .glide(frameWindow(), x0, y0, x1, y1, 100, steps)
        .wait(20)
        .release(driver::Button::Left)
        .modifiers(driver::NoModifier)
        .start();
    driver::runScript();
    driver::pump();
}

driver::Image EditorHost::capture() const {
    return driver::capture(host);
}

::testing::AssertionResult matchesReference(const driver::Image& image, const std::string& name) {
    const std::string reference = std::string(KAVET_REFERENCE_DIR) + "/" + name + ".png";
    const std::string seen = std::string(KAVET_TEST_OUTPUT_DIR) + "/" + name + ".png";
    (void)driver::writePng(image, seen); // a copy to look at; the comparison does not need it
    const char* update = std::getenv("KAVET_UPDATE_REFERENCE");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        if (!driver::writePng(image, reference))
            return ::testing::AssertionFailure() << "cannot write " << reference;
        return ::testing::AssertionSuccess();
    }
    std::optional<driver::Image> expected = driver::readPng(reference);
    if (!expected)
        return ::testing::AssertionFailure() << "no reference " << reference << " (see " << seen
                                             << "; KAVET_UPDATE_REFERENCE=1 writes it)";
    if (expected->width != image.width || expected->height != image.height)
        return ::testing::AssertionFailure()
               << "size " << image.width << "x" << image.height << ", reference " << expected->width
               << "x" << expected->height;
    int differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.rgb(x, y) == expected->rgb(x, y)) continue;
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " pixels differ from " << reference << ", the first at (" << firstX
           << ", " << firstY << "); this run's picture: " << seen;
}

} // namespace kavet::test
