// The plug-in's extensions and its life cycle as a host drives it: each call on its thread
// (the main thread's from the test's thread, the audio thread's from the host's own), the
// thread-check answering by those threads, a call on the wrong thread reported through the
// host's log and survived, and cycles of activation, processing and blocks of random sizes
// and events from a fixed seed.
#include "channel_buffers.h"
#include "clap_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace kavet::test {
namespace {

using namespace clap;

class ClapLifecycle : public ::testing::Test {};

TEST_F(ClapLifecycle, OffersItsExtensionsAndPorts) {
    TestPlugin p(loadClapModule());
    const Plugin* plugin = p->plugin();
    EXPECT_STREQ(plugin->desc->id, kClap.id);
    struct Extension {
        const char* id;
        bool offered;
    } const extensions[] = {
        {kExtParams, true},
        {kExtAudioPorts, true},
        {kExtState, true},
        {kExtLatency, true},
        {kExtGui, true},
        {kExtTimerSupport, true},
        {kExtPosixFdSupport, true},
        {"clap.note-ports", false},
        {"clap.params.draft", false},
        {"clap.audio-ports-config", false},
        {"", false},
    };
    for (const Extension& e : extensions)
        EXPECT_EQ(plugin->get_extension(plugin, e.id) != nullptr, e.offered) << e.id;
    EXPECT_EQ(plugin->get_extension(plugin, nullptr), nullptr);

    const PluginAudioPorts* ports = p->audioPorts();
    for (bool input : {true, false}) {
        SCOPED_TRACE(input ? "input" : "output");
        ASSERT_EQ(ports->count(plugin, input), 1u);
        AudioPortInfo info{};
        ASSERT_TRUE(ports->get(plugin, 0, input, &info));
        EXPECT_EQ(info.channel_count, static_cast<uint32>(kNumChannels));
        EXPECT_EQ(info.flags & (kAudioPortIsMain | kAudioPortSupports64Bits),
                  kAudioPortIsMain | kAudioPortSupports64Bits);
        EXPECT_STREQ(info.port_type, kStereo ? kPortStereo : kPortMono);
        EXPECT_NE(std::strlen(info.name), 0u);
        EXPECT_FALSE(ports->get(plugin, 1, input, &info));
    }
    ASSERT_TRUE(p->activate(48000.0, 1, 512));
    EXPECT_EQ(p->latency()->get(plugin), 0u);
}

// The host's thread-check as the plug-in asks it: by the threads the host runs its calls on.
TEST_F(ClapLifecycle, ThreadCheckAnswersByTheHostsThreads) {
    TestPlugin p(loadClapModule());
    const Host* h = p->host().get();
    const auto* check = static_cast<const HostThreadCheck*>(h->get_extension(h, kExtThreadCheck));
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->is_main_thread(h));
    EXPECT_FALSE(check->is_audio_thread(h));
    bool main = true, audio = false;
    p->audioThread().run([&] {
        main = check->is_main_thread(h);
        audio = check->is_audio_thread(h);
    });
    EXPECT_FALSE(main);
    EXPECT_TRUE(audio);
}

// A host's call on the wrong thread: the plug-in reports it through the host's log (as the
// host misbehaving, naming the call) and goes on working.
struct WrongThread {
    const char* name;
    const char* call; // as the report names it
    std::function<void(host::ClapPlugin&)> provoke;
};

const WrongThread kWrongThreads[] = {
    {"ParamsCountOnTheAudioThread", "params.count",
     [](host::ClapPlugin& p) {
         p.audioThread().run([&] { (void)p.params()->count(p.plugin()); });
     }},
    {"StateSaveOnTheAudioThread", "state.save",
     [](host::ClapPlugin& p) {
         host::MemoryOutputStream stream;
         p.audioThread().run([&] { (void)p.state()->save(p.plugin(), stream.get()); });
     }},
    {"GuiCreateOnTheAudioThread", "gui.create",
     [](host::ClapPlugin& p) {
         p.audioThread().run([&] {
             if (p.gui()->create(p.plugin(), kWindowApiX11, false)) p.gui()->destroy(p.plugin());
         });
     }},
    {"ProcessOnTheMainThread", "process",
     [](host::ClapPlugin& p) {
         ASSERT_TRUE(p.activate(44100.0, 1, 64) && p.startProcessing());
         (void)processLevel(p, 0.5f, 16); // as it should be: no report
         std::vector<float> in(64, 0.5f), out(64);
         const float* inputs[2] = {in.data(), in.data()};
         float* outputs[2] = {out.data(), out.data()};
         (void)p.processUnchecked(inputs, outputs, 32, host::EventList(1, 64));
     }},
    {"ActivateOnTheAudioThread", "activate",
     [](host::ClapPlugin& p) {
         bool taken = false;
         p.audioThread().run([&] { taken = p.plugin()->activate(p.plugin(), 44100.0, 1, 64); });
         if (taken) p.audioThread().run([&] { p.plugin()->deactivate(p.plugin()); });
     }},
    {"FlushWhileInactiveOnTheAudioThread", "params.flush",
     [](host::ClapPlugin& p) {
         const host::EventList events = valueEvents({{kGain, 0.25}});
         const host::InputEventsView in(events);
         host::EventList sent;
         const host::OutputEventsView out(sent);
         p.audioThread().run([&] { p.params()->flush(p.plugin(), in.get(), out.get()); });
     }},
};

void PrintTo(const WrongThread& c, std::ostream* out) {
    *out << c.name;
}

class ClapWrongThread : public ::testing::TestWithParam<WrongThread> {};

TEST_P(ClapWrongThread, IsReportedThroughTheLogAndSurvived) {
    TestPlugin p(loadClapModule());
    p.allowMisbehaviour();
    GetParam().provoke(*p);
    // Anything the plug-in then did on that thread may be reported too (the host's own
    // check of a timer registered there, say); the call itself must be.
    const std::vector<host::LogEntry> seen = p->host().misbehaviour();
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(),
                            [this](const host::LogEntry& e) {
                                return e.severity == kLogHostMisbehaving &&
                                       e.message.find(GetParam().call) != std::string::npos;
                            }))
        << "no report of " << GetParam().call << " among " << seen.size() << " messages";
    // Still working: a cycle on the right threads.
    p->deactivate();
    p->host().clearLog();
    ASSERT_TRUE(p->activate(44100.0, 1, 64) && p->startProcessing());
    EXPECT_EQ(processLevel(*p, 0.5f, 64).status, kProcessContinue);
    EXPECT_TRUE(p->host().misbehaviour().empty());
}

INSTANTIATE_TEST_SUITE_P(Calls, ClapWrongThread, ::testing::ValuesIn(kWrongThreads),
                         [](const auto& info) { return std::string(info.param.name); });

// Activation, processing and blocks as a host's transport and settings come and go: random
// sample rates, block ranges and block sizes (0 among them), 32- and 64-bit blocks, value
// events at random times and gestures, resets, processing stopped and started again. The
// outputs are written and finite; every block is answered without an error.
template <class Sample>
bool runBlock(host::ClapPlugin& p, std::mt19937& random, uint32 frames, host::EventList& events) {
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    ChannelBuffers<Sample> b(p.inputChannels(), p.outputChannels(), frames, 0, 7);
    for (auto& c : b.in)
        for (Sample& x : c)
            x = static_cast<Sample>(level(random));
    const host::ClapProcessResult r = p.process(b.inputs.data(), b.outputs.data(), frames, events);
    bool good = r.called && r.status != kProcessError;
    for (const auto& c : b.out)
        for (Sample x : c)
            good = good && std::isfinite(x) && x != Sample(7);
    return good;
}

void fillEvents(std::mt19937& random, uint32 frames, host::EventList& events) {
    events.clear();
    std::vector<uint32> times(std::uniform_int_distribution<int>(0, 6)(random));
    for (uint32& t : times)
        t = frames == 0 ? 0 : std::uniform_int_distribution<uint32>(0, frames - 1)(random);
    std::sort(times.begin(), times.end());
    for (uint32 t : times) {
        const auto id = std::uniform_int_distribution<Id>(0, kNumParams - 1)(random);
        if (random() % 4 == 0) {
            const ParamGestureEvent g = host::gestureEvent(
                random() % 2 ? kEventParamGestureBegin : kEventParamGestureEnd, t, id);
            ASSERT_TRUE(events.push(&g.header));
        } else {
            const ParamValueEvent v = host::paramValueEvent(
                t, id, std::uniform_real_distribution<double>(0.0, 1.0)(random));
            ASSERT_TRUE(events.push(&v.header));
        }
    }
}

TEST_F(ClapLifecycle, SurvivesRandomCyclesOfBlocksAndEvents) {
    TestPlugin p(loadClapModule());
    std::mt19937 random(20261210);
    const double rates[] = {22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
    host::EventList events;
    int blocks = 0;
    for (int cycle = 0; cycle < 12; ++cycle) {
        const double rate = rates[random() % 5];
        const uint32 maxFrames = std::uniform_int_distribution<uint32>(1, 4096)(random);
        SCOPED_TRACE("cycle " + std::to_string(cycle) + ", " + std::to_string(rate) + " Hz, " +
                     std::to_string(maxFrames) + " frames at most");
        ASSERT_TRUE(p->activate(rate, 1, maxFrames));
        ASSERT_TRUE(p->startProcessing());
        for (int b = 0; b < 24; ++b, ++blocks) {
            const uint32 frames =
                random() % 8 == 0 ? 0 : std::uniform_int_distribution<uint32>(1, maxFrames)(random);
            fillEvents(random, frames, events);
            const bool good = random() % 2 ? runBlock<float>(*p, random, frames, events)
                                           : runBlock<double>(*p, random, frames, events);
            ASSERT_TRUE(good) << "block " << b << " of " << frames << " frames";
            if (random() % 16 == 0) p->reset();
            if (random() % 16 == 0) {
                p->stopProcessing();
                ASSERT_TRUE(p->startProcessing());
            }
        }
        p->deactivate();
    }
    EXPECT_EQ(blocks, 12 * 24);
}

} // namespace
} // namespace kavet::test
