// The CLAP plug-in of this test's configuration (KAVET_STEREO) as a host meets it: the
// module loaded, the plug-in created with the host's object and initialised; beside it the
// VST 2.4 module of the same configuration, whose output, values, texts and chunk the CLAP
// plug-in must reproduce.
#pragma once

#include "vst2_reference.h"

#include "hosts/common/clap_plugin.h"

#include "core/config.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kavet::test {

// What the factory lists for each configuration.
struct ClapFacts {
    const char* id;
    const char* name;
    const char* channelFeature;
    clap::uint32 index; // in the factory's list
};

inline constexpr ClapFacts kStereoClap = {"com.velmorant.kavet.stereo", "Kavet Stereo", "stereo",
                                          0};
inline constexpr ClapFacts kMonoClap = {"com.velmorant.kavet.mono", "Kavet Mono", "mono", 1};
inline constexpr const ClapFacts& kClap = kStereo ? kStereoClap : kMonoClap;

std::shared_ptr<const host::ClapModule> loadClapModule();

// A plug-in whose host's log is checked when it goes: a message of either misbehaving
// severity fails the test, unless the test said it provoked them (allowMisbehaviour).
class TestPlugin {
public:
    explicit TestPlugin(std::shared_ptr<const host::ClapModule> module, const char* id = kClap.id);
    ~TestPlugin();
    TestPlugin(const TestPlugin&) = delete;
    TestPlugin& operator=(const TestPlugin&) = delete;

    host::ClapPlugin& operator*() { return *plugin_; }
    host::ClapPlugin* operator->() { return plugin_.get(); }
    void allowMisbehaviour() { allowed_ = true; }

private:
    std::shared_ptr<const host::ClapModule> module_;
    std::unique_ptr<host::ClapPlugin> plugin_;
    bool allowed_ = false;
};

// `frames` samples of `level` on every channel of `plugin`, through process (32-bit); the
// plug-in must be processing. Answers the result.
host::ClapProcessResult processLevel(host::ClapPlugin& plugin, float level, clap::uint32 frames,
                                     const host::EventList& events = host::EventList(8, 512));

// One event list of parameter values at time 0, in the order given.
host::EventList valueEvents(const std::vector<std::pair<clap::Id, double>>& values);

} // namespace kavet::test
