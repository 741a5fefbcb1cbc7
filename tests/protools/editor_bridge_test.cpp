// The editor bridge through the simulated host: the host's plug-in window (a top-level
// window of the Win32 layer) asks the view's extent, creates the view, attaches its port,
// idles, draws, detaches and disposes, on the stereo module linked into the test so that
// both sides share one window system. The effect's editor is a recording test editor
// (installed in place of whatever editor the effect made), or none.
#include "editor_harness.h"
#include "ptsim_linked_module.h"

#include "protools/module_state.h"
#include "protools/template_custom_ui.h"
#include "protools/template_group.h"
#include "protools/template_noui_view.h"
#include "protools/template_process_rtas.h"

#include "protools/framework/creation_context.h"
#include "protools/framework/dae_error.h"
#include "protools/framework/global_lock.h"
#include "protools/framework/view_registry.h"

#include "core/plug.h"
#include "hosts/ptsim/pt_view_host.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using kavet::ptsim::PtInstance;
using kavet::ptsim::PtModule;
using kavet::ptsim::PtViewHost;
using kavet::test::linkedStereoModule;
using kavet::test::processOf;

constexpr std::uint32_t kEditorColour = 0x3366cc;

// Paints its whole rectangle in one colour and counts the calls.
class PaintView : public toolkit::CView {
public:
    explicit PaintView(const toolkit::CRectangle& size) : CView(size) {}
    void draw(toolkit::CDrawContext* context) override {
        ++draws;
        context->setFillColor(toolkit::CColorRGBA{0x33, 0x66, 0xcc, 255});
        context->fillRect(
            toolkit::CRectangle(size.left - 1, size.top - 1, size.right, size.bottom));
        setDirty(false);
    }
    int draws = 0;
};

// A 265 x 534 editor with one full-size view; records what the wrapper asks of it.
class TestEditor : public kavet::test::FrameEditor {
public:
    explicit TestEditor(AudioEffect* effect) : FrameEditor(effect, 265, 534) {}
    bool getRect(ERect** out) override {
        ++rects;
        return AEffGUIEditor::getRect(out);
    }
    bool open(void* window) override {
        opened.push_back(static_cast<HWND>(window));
        lockHeldInOpen = ptfw::GlobalLockMutex().HeldByThisThread();
        resourceFileInOpen = ptfw::GetCurrentResourceFile();
        FrameEditor::open(window);
        view = new PaintView(toolkit::CRectangle(0, 0, 265, 534));
        frame->addView(view); // the frame takes our reference
        return true;
    }
    void close() override {
        ++closes;
        view = nullptr;
        FrameEditor::close();
    }
    std::vector<HWND> opened;
    int closes = 0, rects = 0;
    bool lockHeldInOpen = false;
    std::int32_t resourceFileInOpen = -1;
    PaintView* view = nullptr;
};

// Replaces the effect's editor (the effect owns and deletes the new one); null removes it.
// While a test editor is in place the test makes no parameter or chunk calls: the effect
// hands those to its own editor class.
TestEditor* replaceEditor(kavet::Plug* effect, bool withEditor) {
    AEffEditor* old = effect->getEditor();
    effect->setEditor(nullptr);
    delete old;
    return withEditor ? new TestEditor(effect) : nullptr;
}

struct WindowInfo {
    std::string className, title;
    RECT rect{}; // in the parent's client coordinates
    HWND parent = nullptr;
    bool visible = false;
};

WindowInfo infoOf(HWND child) {
    WindowInfo info;
    char text[64] = {};
    GetClassNameA(child, text, sizeof text);
    info.className = text;
    GetWindowTextA(child, text, sizeof text);
    info.title = text;
    info.parent = GetParent(child);
    GetWindowRect(child, &info.rect);
    POINT corners[2] = {{info.rect.left, info.rect.top}, {info.rect.right, info.rect.bottom}};
    ScreenToClient(info.parent, &corners[0]);
    ScreenToClient(info.parent, &corners[1]);
    info.rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    info.visible = IsWindowVisible(child) != FALSE;
    return info;
}

class EditorBridge : public testing::Test {
protected:
    void SetUp() override {
        module = std::make_unique<PtModule>(linkedStereoModule());
        ASSERT_EQ(module->open(), 0);
        instance = std::make_unique<PtInstance>(*module, 0, 48000);
        process = processOf(*instance);
        ASSERT_NE(process, nullptr);
        ASSERT_NE(process->GetEffect(), nullptr);
    }
    void TearDown() override {
        hosts.clear();
        instance.reset();
        if (module) module->close();
        module.reset();
    }
    PtViewHost& host(int width, int height, PtInstance* on = nullptr) {
        hosts.push_back(std::make_unique<PtViewHost>(on ? *on : *instance, width, height));
        return *hosts.back();
    }
    CTemplateCustomUI* wrapper(CTemplateNoUIProcessRTAS* of = nullptr) {
        return dynamic_cast<CTemplateCustomUI*>((of ? of : process)->GetCustomUI());
    }

    std::unique_ptr<PtModule> module;
    std::unique_ptr<PtInstance> instance;
    CTemplateNoUIProcessRTAS* process = nullptr;
    std::vector<std::unique_ptr<PtViewHost>> hosts;
};

TEST_F(EditorBridge, EditorIsPlacedCentredAcrossWithItsBottomOnTheHostWindowsBottom) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    struct Row {
        int width, height; // the host window's client area
        int x, y;          // the editor's child window in it
    };
    const Row rows[] = {
        {265, 534, 0, 0},                        // exactly the editor's width: x = 0
        {266, 534, 0, 0},                        // one spare pixel: half of it truncated
        {267, 600, 1, 66},                       // wider and taller: the spare height stays above
        {400, 700, 67, 166},                     // odd difference 135: 67, towards zero
        {300, 534, 17, 0},   {200, 534, -32, 0}, // narrower: -65 / 2 truncated towards zero
        {265, 500, 0, -34}, // shorter: the top is cut, the bottom still meets the host's
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        PtViewHost& window = host(row.width, row.height);
        ASSERT_EQ(window.open(), 0);
        ASSERT_NE(wrapper(), nullptr);
        HWND child = wrapper()->GetChildWindow();
        ASSERT_NE(child, nullptr);
        const WindowInfo info = infoOf(child);
        EXPECT_EQ(info.parent, window.window());
        EXPECT_EQ(info.className, "TemplateLocal");
        EXPECT_EQ(info.title, "TemplateCustomUI");
        EXPECT_TRUE(info.visible);
        EXPECT_EQ(info.rect.left, row.x);
        EXPECT_EQ(info.rect.top, row.y);
        EXPECT_EQ(info.rect.right - info.rect.left, 265);
        EXPECT_EQ(info.rect.bottom - info.rect.top, 534);
        EXPECT_EQ(info.rect.bottom, row.height) << "no free space below the editor";
        EXPECT_EQ(wrapper()->GetPlacementTop(), row.height - 534);
        EXPECT_EQ(wrapper()->GetPlacementWidth(), row.width);
        EXPECT_EQ(editor->opened.back(), child) << "the editor opens in the child window";
        ASSERT_EQ(window.dispose(), 0);
        EXPECT_FALSE(IsWindow(child));
    }
    EXPECT_EQ(editor->opened.size(), std::size(rows));
    EXPECT_EQ(editor->closes, static_cast<int>(std::size(rows)));
}

TEST_F(EditorBridge, TheEditorShowsInTheHostWindowWithTheFreeSpaceAboveIt) {
    replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(305, 600);
    ASSERT_EQ(window.open(), 0);
    kavet::driver::pump();
    const kavet::driver::Image image = kavet::driver::capture(window.window());
    ASSERT_EQ(image.width, 305);
    ASSERT_EQ(image.height, 600);
    // The editor spans x 20..284 and y 66..599.
    EXPECT_EQ(image.rgb(20, 66), kEditorColour);
    EXPECT_EQ(image.rgb(284, 599), kEditorColour);
    EXPECT_NE(image.rgb(150, 65), kEditorColour);
    EXPECT_NE(image.rgb(19, 300), kEditorColour);
    EXPECT_NE(image.rgb(285, 300), kEditorColour);
}

TEST_F(EditorBridge, TheViewIsARootWithOnePlaceholderServedByTheWrapper) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(265, 534);
    PtViewRect rect{};
    ASSERT_EQ(window.viewRect(&rect), 0);
    // top, left, bottom, right: the editor's fixed extent, its getRect never asked.
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.bottom, 534);
    EXPECT_EQ(rect.right, 265);
    EXPECT_EQ(editor->rects, 0);
    PtViewRect root{};
    ASSERT_EQ(window.createView(&root), 0);
    EXPECT_EQ(root.bottom, 534);
    EXPECT_EQ(root.right, 265);
    CCustomView* view = process->GetCurrentView();
    ASSERT_NE(dynamic_cast<CNoResourceView*>(view), nullptr);
    ASSERT_EQ(view->GetChildCount(), 1u);
    auto* placeholder = dynamic_cast<CTemplateNoUIView*>(view->GetChild(0));
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->GetID(), "NoID");
    EXPECT_EQ(placeholder->GetRect().Width(), 265);
    EXPECT_EQ(placeholder->GetRect().Height(), 534);
    EXPECT_EQ(placeholder->GetCustomUI(), process->GetCustomUI());
    // The wrapper is made once: a second request keeps it.
    ITemplateCustomUI* first = process->GetCustomUI();
    ASSERT_EQ(window.viewRect(&rect), 0);
    EXPECT_EQ(process->GetCustomUI(), first);
    // Nothing is open until the port comes.
    EXPECT_TRUE(editor->opened.empty());
    EXPECT_FALSE(view->IsActive());
    ASSERT_EQ(window.attachPort(), 0);
    EXPECT_TRUE(view->IsActive());
    ASSERT_EQ(window.detachPort(), 0);
    EXPECT_FALSE(view->IsActive());
}

TEST_F(EditorBridge, OpeningRunsUnderTheGlobalLockInThePlugInsResources) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    const std::int32_t registration = kavet::pt::Module().resourceRegistration;
    ASSERT_NE(registration, 0) << "DigiExt registered the module's resource file";
    const std::int32_t before = ptfw::GetCurrentResourceFile();
    ASSERT_NE(before, registration);
    ASSERT_EQ(host(265, 534).open(), 0);
    ASSERT_EQ(editor->opened.size(), 1u);
    EXPECT_TRUE(editor->lockHeldInOpen);
    EXPECT_EQ(editor->resourceFileInOpen, registration);
    EXPECT_FALSE(ptfw::GlobalLockMutex().HeldByThisThread());
    EXPECT_EQ(ptfw::GetCurrentResourceFile(), before);
}

TEST_F(EditorBridge, DetachingClosesOnlyTheChildAndReattachingReopensAtTheSameSize) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(300, 600);
    ASSERT_EQ(window.open(), 0);
    HWND first = wrapper()->GetChildWindow();
    const WindowInfo before = infoOf(first);
    ASSERT_EQ(window.detachPort(), 0);
    EXPECT_EQ(editor->closes, 1);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(window.window())) << "the host's window stays";
    EXPECT_FALSE(wrapper()->IsOpen());
    EXPECT_NE(process->GetCurrentView(), nullptr) << "the view stays for the next port";
    // A second detach finds nothing open.
    ASSERT_EQ(window.detachPort(), 0);
    EXPECT_EQ(editor->closes, 1);

    ASSERT_EQ(window.attachPort(), 0);
    HWND second = wrapper()->GetChildWindow();
    ASSERT_NE(second, nullptr);
    const WindowInfo after = infoOf(second);
    EXPECT_EQ(after.rect.left, before.rect.left);
    EXPECT_EQ(after.rect.top, before.rect.top);
    EXPECT_EQ(after.rect.right, before.rect.right);
    EXPECT_EQ(after.rect.bottom, before.rect.bottom);
    ASSERT_EQ(editor->opened.size(), 2u);
    EXPECT_EQ(editor->opened[1], second);
}

TEST_F(EditorBridge, ASecondPortWithoutADetachLeavesOneChildWindow) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(265, 534);
    ASSERT_EQ(window.open(), 0);
    HWND first = wrapper()->GetChildWindow();
    ASSERT_EQ(window.attachPort(), 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(editor->closes, 1);
    EXPECT_EQ(editor->opened.size(), 2u);
    EXPECT_TRUE(IsChild(window.window(), wrapper()->GetChildWindow()));
}

TEST_F(EditorBridge, TheHostIdlesTheEditorOnlyWhileItsPortIsAttached) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(265, 534);
    EXPECT_EQ(window.idle(), 0); // no view yet
    ASSERT_EQ(window.viewRect(nullptr), ptfw::kErrBadArgument);
    ASSERT_EQ(window.createView(), 0);
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(editor->idleCalls, 0);
    ASSERT_EQ(window.attachPort(), 0);
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(editor->idleCalls, 2);
    ASSERT_EQ(window.detachPort(), 0);
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(editor->idleCalls, 2);
}

TEST_F(EditorBridge, HostDrawsReachTheEditorsFrameThroughThePlaceholder) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(265, 534);
    ASSERT_EQ(window.createView(), 0);
    EXPECT_EQ(window.draw(PtViewRect{0, 0, 534, 265}), 0); // nothing open: nothing drawn
    ASSERT_EQ(window.attachPort(), 0);
    ASSERT_NE(editor->view, nullptr);
    const int afterAttach = editor->view->draws;
    EXPECT_GE(afterAttach, 1) << "attaching draws the kept rectangle";
    EXPECT_EQ(window.draw(PtViewRect{10, 10, 20, 20}), 0);
    EXPECT_EQ(editor->view->draws, afterAttach + 1);
    // A rectangle outside the view reaches no placeholder.
    EXPECT_EQ(window.draw(PtViewRect{600, 300, 700, 400}), 0);
    EXPECT_EQ(editor->view->draws, afterAttach + 1);
}

TEST_F(EditorBridge, TwoInstancesShareTheWindowClassUntilTheLastGoes) {
    TestEditor* editorA = replaceEditor(process->GetEffect(), true);
    auto other = std::make_unique<PtInstance>(*module, 0, 48000);
    CTemplateNoUIProcessRTAS* processB = processOf(*other);
    TestEditor* editorB = replaceEditor(processB->GetEffect(), true);
    const HINSTANCE self = GetModuleHandleA(nullptr);
    WNDCLASSA info{};
    ASSERT_FALSE(GetClassInfoA(self, "TemplateLocal", &info));

    PtViewHost& windowA = host(265, 534);
    ASSERT_EQ(windowA.open(), 0);
    EXPECT_NE(wrapper()->GetClassAtom(), 0) << "the first wrapper registers the class";
    PtViewHost& windowB = host(400, 600, other.get());
    ASSERT_EQ(windowB.open(), 0) << "the second's class-exists answer counts as success";
    EXPECT_EQ(wrapper(processB)->GetClassAtom(), 0);
    ASSERT_TRUE(GetClassInfoA(self, "TemplateLocal", &info));
    EXPECT_EQ(info.style, 3u);
    EXPECT_EQ(info.hInstance, self);
    EXPECT_EQ(editorA->opened.size(), 1u);
    EXPECT_EQ(editorB->opened.size(), 1u);

    // The first instance goes with its editor open: closed, its window destroyed.
    HWND childA = wrapper()->GetChildWindow();
    hosts.erase(hosts.begin());
    instance.reset();
    EXPECT_FALSE(IsWindow(childA));
    EXPECT_TRUE(GetClassInfoA(self, "TemplateLocal", &info)) << "the other still uses it";
    ASSERT_EQ(windowB.detachPort(), 0);
    ASSERT_EQ(windowB.attachPort(), 0) << "and can open again";
    EXPECT_EQ(editorB->opened.size(), 2u);

    hosts.clear();
    other.reset();
    EXPECT_FALSE(GetClassInfoA(self, "TemplateLocal", &info)) << "the last one unregisters it";
}

TEST_F(EditorBridge, AnEffectWithoutAnEditorHasNoViewAndNothingBreaks) {
    replaceEditor(process->GetEffect(), false);
    PtViewHost& window = host(265, 534);
    PtViewRect rect{1, 2, 3, 4};
    EXPECT_EQ(window.viewRect(&rect), ptfw::kErrNoView);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(window.createView(), ptfw::kErrNoView);
    EXPECT_EQ(window.attachPort(), ptfw::kErrNoView);
    EXPECT_EQ(window.draw(PtViewRect{0, 0, 534, 265}), ptfw::kErrNoView);
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(window.detachPort(), 0);
    EXPECT_EQ(window.dispose(), 0);
    EXPECT_EQ(process->GetCustomUI(), nullptr);
    POINT centre{132, 267};
    ClientToScreen(window.window(), &centre);
    EXPECT_EQ(WindowFromPoint(centre), window.window()) << "no child window in the host's";
    // The instance still processes.
    std::vector<std::vector<float>> in(2, std::vector<float>(64, 0.5f)), out = in;
    instance->renderChannels(in, out, 64);
    EXPECT_EQ(out[0][63], 0.5f);
}

TEST_F(EditorBridge, APortWithoutAWindowOpensNothing) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    PtViewHost& window = host(265, 534);
    ASSERT_EQ(window.createView(), 0);
    PtsimPort empty{nullptr};
    EXPECT_EQ(instance->routines().setViewPort(instance->handle(), &empty), 0);
    EXPECT_FALSE(wrapper()->IsOpen());
    EXPECT_TRUE(editor->opened.empty());
    EXPECT_FALSE(process->GetCurrentView()->IsActive());
}

TEST_F(EditorBridge, AChildWindowThatCannotBeMadeIsAnErrorAndLeavesNothingOpen) {
    TestEditor* editor = replaceEditor(process->GetEffect(), true);
    HWND gone = nullptr;
    {
        PtViewHost closed(*instance, 265, 534);
        gone = closed.window();
    }
    ASSERT_NE(gone, nullptr);
    ASSERT_FALSE(IsWindow(gone));
    PtViewHost& window = host(265, 534);
    ASSERT_EQ(window.createView(), 0);
    PtsimPort stale{gone};
    EXPECT_EQ(instance->routines().setViewPort(instance->handle(), &stale), -1400)
        << "ERROR_INVALID_WINDOW_HANDLE, negated";
    EXPECT_FALSE(wrapper()->IsOpen());
    EXPECT_EQ(wrapper()->GetParentWindow(), nullptr);
    EXPECT_TRUE(editor->opened.empty());
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(editor->idleCalls, 0) << "the failed port is not kept";
    // The real window still works afterwards.
    ASSERT_EQ(window.attachPort(), 0);
    EXPECT_EQ(editor->opened.size(), 1u);
}

TEST_F(EditorBridge, ViewCreationThatThrowsDestroysTheWrapperAndAnswersNoView) {
    replaceEditor(process->GetEffect(), true);
    ptfw::RegisterViewClass("NoUIView", []() -> CCustomView* { throw CDAEError(-1); });
    PtViewHost& window = host(265, 534);
    EXPECT_EQ(window.createView(), ptfw::kErrNoView);
    EXPECT_EQ(process->GetCustomUI(), nullptr);
    EXPECT_EQ(process->GetCurrentView(), nullptr);
    ptfw::RegisterViewClass("NoUIView", NewNoUIView);
    EXPECT_EQ(window.open(), 0) << "the next request makes a new wrapper";
    EXPECT_TRUE(wrapper()->IsOpen());
}

// The effect's own editor, where the build's effect makes one.
TEST_F(EditorBridge, TheEffectsOwnEditorOpensIdlesDrawsAndClosesInTheHostWindow) {
    AEffEditor* own = process->GetEffect()->getEditor();
    if (own == nullptr) GTEST_SKIP() << "the effect of this build makes no editor";
    auto* gui = dynamic_cast<AEffGUIEditor*>(own);
    ASSERT_NE(gui, nullptr);
    PtViewHost& window = host(305, 600);
    ASSERT_EQ(window.open(), 0);
    HWND child = wrapper()->GetChildWindow();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(own->isEditorOpen());
    ASSERT_NE(gui->getFrame(), nullptr);
    EXPECT_EQ(gui->getFrame()->getSystemWindow(), child) << "the frame lives in the child";
    EXPECT_EQ(window.idle(), 0);
    EXPECT_EQ(window.draw(PtViewRect{0, 0, 534, 265}), 0);
    kavet::driver::pump();
    const kavet::driver::Image image = kavet::driver::capture(window.window());
    ASSERT_EQ(image.width, 305);
    (void)kavet::driver::writePng(image, "editor_bridge_host_window.png"); // for people to look at
    // The editor's bitmaps fill x 20..284, y 66..599; the strip above is the host's own.
    std::set<std::uint32_t> editorColours, stripColours;
    for (int y = 66; y < 600; y += 3)
        for (int x = 20; x < 285; x += 3)
            editorColours.insert(image.rgb(x, y));
    for (int y = 0; y < 66; y += 3)
        for (int x = 0; x < 305; x += 3)
            stripColours.insert(image.rgb(x, y));
    EXPECT_GT(editorColours.size(), 8u) << "a drawn editor, not a blank window";
    EXPECT_EQ(stripColours.size(), 1u);
    EXPECT_EQ(stripColours.count(image.rgb(150, 300)), 0u);

    ASSERT_EQ(window.detachPort(), 0);
    EXPECT_FALSE(own->isEditorOpen());
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(IsWindow(window.window()));
    ASSERT_EQ(window.attachPort(), 0);
    EXPECT_TRUE(own->isEditorOpen());
    const WindowInfo again = infoOf(wrapper()->GetChildWindow());
    EXPECT_EQ(again.rect.left, 20);
    EXPECT_EQ(again.rect.top, 66);
    EXPECT_EQ(again.rect.right - again.rect.left, 265);
    EXPECT_EQ(again.rect.bottom - again.rect.top, 534);
    // The instance goes with its editor open: closed first, its window destroyed.
    HWND last = wrapper()->GetChildWindow();
    hosts.clear();
    instance.reset();
    EXPECT_FALSE(IsWindow(last));
}

TEST(CustomUI, AnswersItsFixedOperationsWithoutAnEditor) {
    CTemplateCustomUI ui(nullptr);
    long l = -1, t = -1, r = -1, b = -1;
    ui.GetRect(&l, &t, &r, &b);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(r, 265);
    EXPECT_EQ(b, 534);
    EXPECT_EQ(ui.Reserved(), 0);
    long handled = 7;
    ui.EventQuery(1, 2, &handled);
    EXPECT_EQ(handled, 0);
    ui.EventNotification(1, 2, 3);
    EXPECT_FALSE(ui.Open(nullptr)) << "a null parent";
    EXPECT_FALSE(ui.IsOpen());
    EXPECT_FALSE(ui.Close()) << "nothing open";
    ui.Idle();
    ui.Draw(0, 0, 265, 534); // no editor, no frame: nothing
}

} // namespace
