// The stand-in framework's group, types, processes (control setter, bypass, touch,
// chunks), view registry and description builder, and the routine table's guards.
#include "protools/framework/control_continuous.h"
#include "protools/framework/control_discrete.h"
#include "protools/framework/custom_view.h"
#include "protools/framework/dae_error.h"
#include "protools/framework/effect_group.h"
#include "protools/framework/effect_process_midi.h"
#include "protools/framework/effect_process_rtas.h"
#include "protools/framework/global_lock.h"
#include "protools/framework/routine_table.h"
#include "protools/framework/view_registry.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using ptfw::FourCC;

// Records the areas it is asked to draw.
class DrawingView : public CCustomView {
public:
    explicit DrawingView(std::vector<std::string>* log) : log_(log) {}
    void Draw(const ptfw::ViewRect& area) override {
        log_->push_back(GetID() + " " + std::to_string(area.left) + "," + std::to_string(area.top));
    }

private:
    std::vector<std::string>* log_;
};

// A process with a gain and a bypass control that counts its algorithm updates; with
// `withView` a root 100 x 50 holding two views side by side, each 50 x 50.
class TestProcess : public CEffectProcessMIDI, public CEffectProcessRTAS {
public:
    std::vector<long> updates;
    bool withView = false;
    std::int32_t portError = 0; // thrown by SetViewPort with a port when set
    std::vector<std::string> viewLog;
    void RenderAudio(float**, float**, long) override {}
    CCustomView* CreateCustomPlugInView() override {
        if (!withView) return nullptr;
        auto root = std::make_unique<DrawingView>(&viewLog);
        root->SetID("root");
        root->SetSize(100, 50);
        for (const char* id : {"left", "right"}) {
            auto child = std::make_unique<DrawingView>(&viewLog);
            child->SetID(id);
            const int x = id[0] == 'l' ? 0 : 50;
            child->SetRect({x, 0, x + 50, 50});
            root->AddChild(std::move(child));
        }
        return root.release();
    }
    void SetViewPort(void* port) override {
        CEffectProcess::SetViewPort(port);
        viewLog.push_back(port ? "port" : "no port");
        if (port && portError) throw CDAEError(portError);
    }

protected:
    void EffectInit() override {
        AddControl(new CPluginControl_Linear(FourCC("sld1"), "Gain", 0.0, 1.0, 0.01, 0.5, true));
        AddControl(new CPluginControl_OnOff(FourCC("byps"), "Bypass", false, true));
        DefineMasterBypassControlIndex(2);
    }
    void UpdateControlValueInAlgorithm(long index) override { updates.push_back(index); }
};

CEffectProcess* NewTestProcess() {
    return new TestProcess;
}

class TestGroup : public CEffectGroupMIDI {
public:
    bool withFactory = true;
    TestGroup() {
        DefineManufacturerNamesAndID("Maker\nMK", FourCC("MAKR"));
        DefinePlugInNamesAndVersion("Thing", 1);
    }

protected:
    void CreateEffectTypes() override {
        auto type = std::make_unique<CEffectTypeRTAS>(FourCC("tst1"), FourCC("tst1"), 0x2000);
        type->DefineTypeNames("Test");
        type->DefineStemFormats(ptfw::kStemStereo, ptfw::kStemStereo, ptfw::kSideChainNone);
        if (withFactory) type->AttachEffectProcessCreator(NewTestProcess);
        AddEffectType(std::move(type));
    }
};

struct Recorder {
    std::vector<std::string> log;
    PtHostCallbacks callbacks{
        this,
        [](void* c, PtProcess*, std::int32_t i, std::int32_t v) {
            static_cast<Recorder*>(c)->log.push_back("set " + std::to_string(i) + "=" +
                                                     std::to_string(v));
        },
        [](void* c, PtProcess*, std::int32_t i) {
            static_cast<Recorder*>(c)->log.push_back("touch " + std::to_string(i));
        },
        [](void* c, PtProcess*, std::int32_t i) {
            static_cast<Recorder*>(c)->log.push_back("release " + std::to_string(i));
        }};
};

TEST(EffectGroup, InitialisationRefusesATypeWithoutAProcessFactory) {
    TestGroup group;
    group.withFactory = false;
    try {
        group.Initialize();
        FAIL() << "no exception";
    } catch (const CDAEError& error) {
        EXPECT_EQ(error.GetErrorCode(), ptfw::kErrIncompleteDescription);
    }
    EXPECT_FALSE(group.IsInitialized());
}

TEST(EffectGroup, IsTheModuleGroupWhileItExists) {
    {
        TestGroup group;
        EXPECT_EQ(CEffectGroup::ModuleGroup(), &group);
    }
    EXPECT_EQ(CEffectGroup::ModuleGroup(), nullptr);
}

TEST(EffectType, RefusesStemFormatsItDoesNotKnow) {
    CEffectTypeRTAS type(FourCC("tst1"), FourCC("tst1"), 0);
    EXPECT_THROW(type.DefineStemFormats(2, 0, 0), CDAEError);
    EXPECT_THROW(type.DefineStemFormats(0, 0, 1), CDAEError);
    type.DefineStemFormats(1, 0, 0);
    EXPECT_TRUE(type.HasStemFormats());
}

class ProcessTest : public testing::Test {
protected:
    void SetUp() override {
        group.Initialize();
        const PtProcessSetup setup{48000, -1, -1, &recorder.callbacks};
        process = dynamic_cast<TestProcess*>(group.NewProcess(0, setup));
        ASSERT_NE(process, nullptr);
    }
    TestGroup group;
    Recorder recorder;
    TestProcess* process = nullptr;
};

TEST_F(ProcessTest, TakesTheSetUpOfTheCreation) {
    EXPECT_EQ(process->GetSampleRate(), 48000);
    EXPECT_EQ(process->GetNumInputs(), 2); // stereo stems
    EXPECT_EQ(process->GetNumOutputs(), 2);
    EXPECT_EQ(process->GetNumControls(), 2);
    EXPECT_EQ(process->GetControl(0), nullptr);
    EXPECT_EQ(process->GetControl(3), nullptr);
}

TEST_F(ProcessTest, PlugInSetterTellsTheHostThenUpdatesTheAlgorithm) {
    EXPECT_EQ(process->SetControlValue(1, 1234), ptfw::kNoErr);
    EXPECT_EQ(recorder.log, std::vector<std::string>{"set 1=1234"});
    EXPECT_EQ(process->updates, std::vector<long>{1});
    EXPECT_EQ(process->SetControlValue(3, 1), ptfw::kErrBadIndex);
    EXPECT_EQ(process->updates.size(), 1u);
}

TEST_F(ProcessTest, HostSetterUpdatesTheAlgorithmWithoutEcho) {
    EXPECT_EQ(process->ApplyHostControlValue(2, 1), ptfw::kNoErr);
    EXPECT_TRUE(recorder.log.empty());
    EXPECT_EQ(process->updates, std::vector<long>{2});
    EXPECT_TRUE(process->IsBypassed()); // control 2 is the master bypass
    process->ApplyHostControlValue(2, 5);
    std::int32_t value = 0;
    process->GetControlValue(2, &value);
    EXPECT_EQ(value, 1); // clamped to the on/off range
}

TEST_F(ProcessTest, TouchAndReleaseReachTheHost) {
    process->TouchControl(1);
    EXPECT_TRUE(process->IsControlTouched(1));
    process->ReleaseControl(1);
    EXPECT_FALSE(process->IsControlTouched(1));
    EXPECT_EQ(process->TouchControl(9), ptfw::kErrBadIndex);
    EXPECT_EQ(recorder.log, (std::vector<std::string>{"touch 1", "release 1"}));
}

TEST_F(ProcessTest, ControlsStateAndMidiChunksRoundTripThroughTheRoutineTable) {
    const PtRoutineTable* table = ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION + 1), nullptr);
    PtProcess* handle = process->GetHandle();
    ASSERT_EQ(table->getChunkCount(handle), 2); // midi, then the controls state
    process->ApplyHostControlValue(1, 777);
    process->ApplyHostControlValue(2, 1);
    process->SetMIDINode(3);
    std::vector<unsigned char> controls(56 + 8 + 16), midi(56 + 24);
    ASSERT_EQ(table->getChunk(handle, kControlsStateChunkID, controls.data(), 80), 0);
    ASSERT_EQ(table->getChunk(handle, kMIDIChunkID, midi.data(), 80), 0);
    // A record one byte short of the registered size is refused.
    EXPECT_EQ(table->getChunk(handle, kControlsStateChunkID, controls.data(), 79),
              ptfw::kErrChunkTooSmall);
    const auto* header = reinterpret_cast<const ptfw::SFicPlugInChunk*>(controls.data());
    EXPECT_EQ(header->fSize, 80);
    EXPECT_EQ(header->fManufacturerID, FourCC("MAKR"));
    EXPECT_EQ(header->fTypeID, FourCC("tst1"));
    EXPECT_STREQ(header->fName, "Complete Controls State");

    process->ApplyHostControlValue(1, 0);
    process->ApplyHostControlValue(2, 0);
    process->SetMIDINode(-1);
    process->updates.clear();
    EXPECT_EQ(table->setChunk(handle, kControlsStateChunkID, controls.data(), 80), 0);
    EXPECT_EQ(table->setChunk(handle, kMIDIChunkID, midi.data(), 80), 0);
    std::int32_t value = 0;
    process->GetControlValue(1, &value);
    EXPECT_EQ(value, 777);
    EXPECT_TRUE(process->IsBypassed());
    EXPECT_EQ(process->GetMIDINode(), 3);
    EXPECT_EQ(process->updates, (std::vector<long>{1, 2}));
}

TEST_F(ProcessTest, ChunkRecordsTheHostGetsWrongAreRefused) {
    const PtRoutineTable* table = ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION);
    PtProcess* handle = process->GetHandle();
    std::vector<unsigned char> record(80, 0);
    auto* header = reinterpret_cast<ptfw::SFicPlugInChunk*>(record.data());
    header->fChunkID = kControlsStateChunkID;
    header->fSize = 40; // shorter than its own header
    EXPECT_EQ(table->setChunk(handle, kControlsStateChunkID, record.data(), 80),
              ptfw::kErrChunkTooSmall);
    header->fSize = 81; // longer than what the host handed over
    EXPECT_EQ(table->setChunk(handle, kControlsStateChunkID, record.data(), 80),
              ptfw::kErrChunkTooSmall);
    header->fSize = 80; // garbage data
    EXPECT_EQ(table->setChunk(handle, kControlsStateChunkID, record.data(), 80),
              ptfw::kErrChunkMismatch);
    EXPECT_EQ(table->setChunk(handle, kMIDIChunkID, record.data(), 80),
              ptfw::kErrChunkMismatch); // the record says it is another chunk
    EXPECT_EQ(table->setChunk(handle, FourCC("abcd"), record.data(), 80), ptfw::kErrUnknownChunk);
    EXPECT_EQ(table->setChunk(handle, kControlsStateChunkID, record.data(), 20),
              ptfw::kErrChunkTooSmall);
    EXPECT_TRUE(process->updates.empty());
}

TEST_F(ProcessTest, RoutinesRefuseAHandleThatIsNotAProcess) {
    const PtRoutineTable* table = ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION);
    int notAProcess = 0;
    auto* bogus = reinterpret_cast<PtProcess*>(&notAProcess);
    EXPECT_EQ(table->getControlCount(bogus), ptfw::kErrBadArgument);
    EXPECT_EQ(table->setControlValue(bogus, 1, 0), ptfw::kErrBadArgument);
    table->deleteProcess(bogus); // ignored
    EXPECT_EQ(table->getControlCount(process->GetHandle()), 2);
    EXPECT_EQ(table->setChannelCounts(process->GetHandle(), -1, 2), ptfw::kErrBadArgument);
    EXPECT_EQ(table->setSampleRate(process->GetHandle(), 0), ptfw::kErrBadArgument);
}

// ---------------------------------------------------------------------------------------
// Views

class CountingView : public CCustomView {
public:
    int activations = 0;
    void SetActive(bool active) override {
        ++activations;
        CCustomView::SetActive(active);
    }
};

CCustomView* NewCountingView() {
    return new CountingView;
}

TEST(ViewDescription, ParsesClassNameAndId) {
    struct Row {
        const char* text;
        bool ok;
        const char* name;
        const char* id;
    };
    const Row rows[] = {
        {"!NoUIView[('NoID')]", true, "NoUIView", "NoID"},
        {"!NoUIView", true, "NoUIView", ""},
        {"NoUIView[('NoID')]", false, "", ""},
        {"!", false, "", ""},
        {"!NoUIView[('')]", false, "", ""},
        {"!NoUIView[('NoID')", false, "", ""},
        {"!NoUIView[(NoID)]", false, "", ""},
        {"!No UI", false, "", ""},
    };
    for (const Row& row : rows) {
        std::string name, id;
        EXPECT_EQ(ptfw::ParseViewDescription(row.text, &name, &id), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(name, row.name);
            EXPECT_EQ(id, row.id);
        }
    }
    EXPECT_FALSE(ptfw::ParseViewDescription(nullptr, nullptr, nullptr));
}

TEST(ViewRegistry, BuildsTheRegisteredClassFromItsDescription) {
    ptfw::ClearViewClasses();
    EXPECT_EQ(ptfw::BuildViewFromDescription("!Counting[('A')]", {0, 0, 10, 10}), nullptr);
    ptfw::RegisterViewClass("Counting", NewCountingView);
    auto view = ptfw::BuildViewFromDescription("!Counting[('A')]", {0, 0, 265, 534});
    ASSERT_NE(dynamic_cast<CountingView*>(view.get()), nullptr);
    EXPECT_EQ(view->GetID(), "A");
    EXPECT_EQ(view->GetRect().Width(), 265);
    EXPECT_EQ(view->GetRect().Height(), 534);
    ptfw::RegisterViewClass("Counting", nullptr);
    EXPECT_FALSE(ptfw::IsViewClassRegistered("Counting"));
}

TEST_F(ProcessTest, ViewActivationTellsTheViewOncePerChange) {
    CountingView view;
    process->ActivateView(true); // no view: nothing happens
    process->SetCurrentView(&view);
    process->ActivateView(true);
    process->ActivateView(true);
    EXPECT_TRUE(view.IsActive());
    process->ActivateView(false);
    EXPECT_FALSE(view.IsActive());
    EXPECT_EQ(view.activations, 2);
}

TEST_F(ProcessTest, AProcessWithoutAViewAnswersNoViewToEveryViewRequest) {
    const PtRoutineTable* table = ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION);
    PtProcess* handle = process->GetHandle();
    PtViewRect rect{1, 2, 3, 4};
    int port = 0;
    EXPECT_EQ(table->getViewRect(handle, &rect), ptfw::kErrNoView);
    EXPECT_EQ(rect.bottom, 0);
    EXPECT_EQ(table->createView(handle, &rect), ptfw::kErrNoView);
    EXPECT_EQ(table->setViewPort(handle, &port), ptfw::kErrNoView);
    EXPECT_EQ(table->drawView(handle, &rect), ptfw::kErrNoView);
    EXPECT_EQ(table->idleView(handle), ptfw::kNoErr);
    EXPECT_EQ(table->setViewPort(handle, nullptr), ptfw::kNoErr);
    EXPECT_EQ(table->disposeView(handle), ptfw::kNoErr);
    EXPECT_EQ(process->viewLog, std::vector<std::string>{"no port"});
    auto* bogus = reinterpret_cast<PtProcess*>(&rect);
    EXPECT_EQ(table->createView(bogus, &rect), ptfw::kErrBadArgument);
    EXPECT_EQ(table->setViewPort(bogus, nullptr), ptfw::kErrBadArgument);
    EXPECT_EQ(table->drawView(handle, nullptr), ptfw::kErrBadArgument);
}

TEST_F(ProcessTest, TheViewTreeDrawsTheChildrenMeetingTheArea) {
    const PtRoutineTable* table = ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION);
    PtProcess* handle = process->GetHandle();
    process->withView = true;
    PtViewRect rect{};
    ASSERT_EQ(table->createView(handle, &rect), ptfw::kNoErr);
    EXPECT_EQ(rect.right, 100);
    EXPECT_EQ(rect.bottom, 50);
    struct Row {
        PtViewRect area; // top, left, bottom, right
        std::vector<std::string> drawn;
    };
    const Row rows[] = {
        {{0, 0, 50, 100}, {"root 0,0", "left 0,0", "right 0,0"}},
        {{10, 60, 20, 70}, {"root 60,10", "right 60,10"}},
        {{0, 49, 10, 50}, {"root 49,0", "left 49,0"}}, // right edges are outside
        {{0, 50, 10, 51}, {"root 50,0", "right 50,0"}},
        {{60, 0, 70, 100}, {"root 0,60"}},
    };
    for (const Row& row : rows) {
        process->viewLog.clear();
        EXPECT_EQ(table->drawView(handle, &row.area), ptfw::kNoErr);
        EXPECT_EQ(process->viewLog, row.drawn);
    }
}

TEST_F(ProcessTest, DisposingDetachesThePortFirstAndAFailedPortIsNotKept) {
    const PtRoutineTable* table = ptfw::GetRoutineDescriptor(PT_INTERFACE_VERSION);
    PtProcess* handle = process->GetHandle();
    process->withView = true;
    int port = 0;
    ASSERT_EQ(table->createView(handle, nullptr), ptfw::kNoErr);
    ASSERT_EQ(table->setViewPort(handle, &port), ptfw::kNoErr);
    EXPECT_EQ(process->GetViewPort(), &port);
    ASSERT_EQ(table->disposeView(handle), ptfw::kNoErr);
    EXPECT_EQ(process->viewLog, (std::vector<std::string>{"port", "no port"}));
    EXPECT_EQ(process->GetViewPort(), nullptr);
    EXPECT_EQ(process->GetCurrentView(), nullptr);
    // A window-system failure comes back negated.
    ASSERT_EQ(table->createView(handle, nullptr), ptfw::kNoErr);
    process->portError = 1400;
    EXPECT_EQ(table->setViewPort(handle, &port), -1400);
    EXPECT_EQ(process->GetViewPort(), nullptr);
    process->portError = ptfw::kErrBadIndex;
    EXPECT_EQ(table->setViewPort(handle, &port), ptfw::kErrBadIndex);
}

TEST(GlobalLock, IsRecursiveForItsOwner) {
    ptfw::CGlobalLock outer;
    {
        ptfw::CGlobalLock inner;
        EXPECT_TRUE(ptfw::GlobalLockMutex().HeldByThisThread());
    }
    EXPECT_TRUE(ptfw::GlobalLockMutex().HeldByThisThread());
}

} // namespace
