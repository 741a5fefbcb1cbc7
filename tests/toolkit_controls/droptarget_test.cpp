// CDropTarget: files and text dropped on the frame window reach onDropFiles of the view
// under the pointer with the names (or the text) and the point; the drag effects; data that
// cannot be read; shortcuts that cannot be resolved keep their names.
#include "fixture.h"
#include "toolkit/droptarget.h"

#include <cstring>
#include <string>
#include <vector>

using namespace toolkit;
using namespace kavet;
using namespace kavet::test;

namespace {

// A view that takes drops and records them.
class DropView : public CView {
public:
    using CView::CView;
    bool onDropFiles(void** items, std::int32_t count, std::int32_t type,
                     CPosition& where) override {
        Drop drop{type, count, where, {}};
        if (type == kDropText) {
            drop.items.emplace_back(static_cast<const char*>(items[0]),
                                    static_cast<std::size_t>(count));
        } else {
            for (std::int32_t i = 0; i < count; ++i)
                drop.items.emplace_back(static_cast<const char*>(items[i]));
        }
        drops.push_back(drop);
        return true;
    }
    struct Drop {
        std::int32_t type, count;
        CPosition where;
        std::vector<std::string> items;
    };
    std::vector<Drop> drops;
};

class DropTest : public EditorTest {
protected:
    void SetUp() override {
        openEditor(200, 100);
        under = new DropView(CRectangle(0, 0, 200, 100));
        over = new DropView(CRectangle(50, 20, 150, 80));
        frame->addView(under);
        frame->addView(over); // added later: on top
        driver::pump();
    }
    DropView* under = nullptr;
    DropView* over = nullptr;
};

TEST_F(DropTest, DroppedFilesReachTheTopViewWithTheNamesAndThePoint) {
    DWORD effect = 99;
    ASSERT_TRUE(driver::dropFiles(frame->getWindow(), POINT{60, 30},
                                  {"/tmp/one.wav", "/tmp/two words.txt"}, driver::NoModifier,
                                  &effect));
    driver::pump();
    ASSERT_EQ(over->drops.size(), 1u);
    EXPECT_TRUE(under->drops.empty());
    const DropView::Drop& drop = over->drops[0];
    EXPECT_EQ(drop.type, kDropFiles);
    EXPECT_EQ(drop.count, 2);
    EXPECT_EQ(drop.items, (std::vector<std::string>{"/tmp/one.wav", "/tmp/two words.txt"}));
    EXPECT_EQ(drop.where, CPosition(60, 30));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
}

TEST_F(DropTest, DropOutsideTheTopViewGoesToTheOneBelow) {
    ASSERT_TRUE(driver::dropFiles(frame->getWindow(), POINT{10, 90}, {"a"}));
    driver::pump();
    ASSERT_EQ(under->drops.size(), 1u);
    EXPECT_TRUE(over->drops.empty());
    EXPECT_EQ(under->drops[0].where, CPosition(10, 90));
}

TEST_F(DropTest, ControlKeyMakesTheDropACopy) {
    DWORD effect = 99;
    ASSERT_TRUE(
        driver::dropFiles(frame->getWindow(), POINT{60, 30}, {"a"}, driver::Control, &effect));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(
        driver::dropText(frame->getWindow(), POINT{60, 30}, "t", driver::NoModifier, &effect));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
}

TEST_F(DropTest, DroppedTextArrivesAsType1WithItsSizeInBytes) {
    ASSERT_TRUE(driver::dropText(frame->getWindow(), POINT{100, 50}, "gain 0.5"));
    driver::pump();
    ASSERT_EQ(over->drops.size(), 1u);
    const DropView::Drop& drop = over->drops[0];
    EXPECT_EQ(drop.type, kDropText);
    EXPECT_EQ(drop.count, 9) << "the text with its terminator";
    EXPECT_EQ(std::string(drop.items[0].c_str()), "gain 0.5");
    EXPECT_EQ(drop.where, CPosition(100, 50));
}

TEST_F(DropTest, ShortcutThatCannotBeResolvedKeepsItsName) {
    // No shell link class here: the name is passed on as it came.
    ASSERT_TRUE(driver::dropFiles(frame->getWindow(), POINT{60, 30},
                                  {"/tmp/Song.LNK", "/tmp/take.lnk", "/tmp/x.wav"}));
    driver::pump();
    ASSERT_EQ(over->drops.size(), 1u);
    EXPECT_EQ(over->drops[0].items,
              (std::vector<std::string>{"/tmp/Song.LNK", "/tmp/take.lnk", "/tmp/x.wav"}));
    char name[CDropTarget::kNameBufferSize] = "/tmp/Song.LNK";
    EXPECT_FALSE(resolveShortcut(name));
    EXPECT_STREQ(name, "/tmp/Song.LNK");
}

TEST_F(DropTest, FrameWithATextEditOpenRefusesDrops) {
    auto* edit = new CTextEdit(CRectangle(150, 85, 190, 95), nullptr, 1, "t");
    frame->addView(edit);
    click(160, 90);
    ASSERT_NE(edit->getPlatformControl(), nullptr);
    // The refusal is seen in the drops that arrive (none), whatever the answer.
    (void)driver::dropFiles(frame->getWindow(), POINT{60, 30}, {"a"});
    driver::pump();
    EXPECT_TRUE(over->drops.empty());
}

// ---- The drop target alone, with a data object of the test's own ----------------------

// Offers CF_TEXT and/or CF_HDROP; GetData fails when `readable` is false.
class FakeData final : public IDataObject {
public:
    bool text = false, files = false, readable = true;
    SIZE_T textBytes = 4;
    int releases = 0; // of the medium's release object
    HGLOBAL handed = nullptr;

    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!readable || format->cfFormat != CF_TEXT || !text) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, textBytes);
        if (textBytes)
            std::memcpy(GlobalLock(medium->hGlobal), "abc", textBytes < 4 ? textBytes : 4);
        if (textBytes) GlobalUnlock(medium->hGlobal);
        medium->pUnkForRelease = &releaser; // which owns the block from now on
        handed = medium->hGlobal;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        if (format->dwAspect != DVASPECT_CONTENT || format->lindex != -1 ||
            format->tymed != TYMED_HGLOBAL)
            return DV_E_FORMATETC;
        if (format->cfFormat == CF_TEXT && text) return S_OK;
        if (format->cfFormat == CF_HDROP && files) return S_OK;
        return DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    struct Releaser final : IUnknown {
        FakeData* owner;
        explicit Releaser(FakeData* o) : owner(o) {}
        STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        STDMETHODIMP_(ULONG) AddRef() override { return 1; }
        STDMETHODIMP_(ULONG) Release() override {
            ++owner->releases;
            GlobalFree(owner->handed);
            owner->handed = nullptr;
            return 0;
        }
    } releaser{this};
};

class DropTargetAlone : public ::testing::Test {
protected:
    DropTargetAlone() : frame(CRectangle(0, 0, 100, 100), nullptr, nullptr) {
        // Wherever the cursor is: the windowless frame has no origin to measure it from.
        view = new DropView(CRectangle(-100000, -100000, 100000, 100000));
        frame.addView(view);
        target = new CDropTarget(&frame);
        target->AddRef();
    }
    ~DropTargetAlone() override { target->Release(); }
    DWORD enter(FakeData& data, DWORD keys) {
        DWORD effect = 99;
        EXPECT_EQ(target->DragEnter(&data, keys, POINTL{0, 0}, &effect), S_OK);
        return effect;
    }
    CFrame frame;
    DropView* view;
    CDropTarget* target;
};

TEST_F(DropTargetAlone, DragEffectFollowsTheFormatAndTheControlKey) {
    struct Case {
        bool text, files;
        DWORD keys, effect;
    } cases[] = {
        {false, false, 0, DROPEFFECT_NONE},
        {false, false, MK_CONTROL, DROPEFFECT_NONE},
        {true, false, 0, DROPEFFECT_MOVE},
        {true, false, MK_CONTROL, DROPEFFECT_COPY},
        {false, true, 0, DROPEFFECT_MOVE},
        {false, true, MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY},
        {true, true, MK_SHIFT, DROPEFFECT_MOVE},
    };
    for (const Case& c : cases) {
        FakeData data;
        data.text = c.text;
        data.files = c.files;
        EXPECT_EQ(enter(data, c.keys), c.effect) << c.text << c.files << c.keys;
        DWORD over = 99;
        EXPECT_EQ(target->DragOver(c.keys, POINTL{0, 0}, &over), S_OK);
        EXPECT_EQ(over, c.effect);
        EXPECT_EQ(target->DragLeave(), S_OK);
    }
}

TEST_F(DropTargetAlone, UnreadableDataEndsQuietly) {
    FakeData data;
    data.text = true;
    data.readable = false;
    enter(data, 0);
    DWORD effect = 0;
    EXPECT_EQ(target->Drop(&data, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_TRUE(view->drops.empty());
    EXPECT_EQ(target->Drop(nullptr, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_TRUE(view->drops.empty());
}

TEST_F(DropTargetAlone, TextOfSizeZeroIsIgnoredAndTheMediumReleasedEitherWay) {
    FakeData data;
    data.text = true;
    data.textBytes = 0;
    enter(data, 0);
    DWORD effect = 0;
    EXPECT_EQ(target->Drop(&data, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_TRUE(view->drops.empty());
    EXPECT_EQ(data.releases, 1);
    data.textBytes = 4;
    EXPECT_EQ(target->Drop(&data, 0, POINTL{0, 0}, &effect), S_OK);
    ASSERT_EQ(view->drops.size(), 1u);
    EXPECT_EQ(view->drops[0].count, 4);
    EXPECT_EQ(data.releases, 2);
}

TEST_F(DropTargetAlone, AnswersOnlyTheDropTargetAndUnknownInterfaces) {
    void* object = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    // Two references were added by the answers: the count is now 3.
    EXPECT_EQ(target->Release(), 2u);
    EXPECT_EQ(target->AddRef(), 3u);
    target->Release();
    target->Release();
}

} // namespace
