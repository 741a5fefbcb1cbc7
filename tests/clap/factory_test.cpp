// The module as a host scans it before creating anything: clap_entry, the factory and its two
// descriptors (ids, names, vendor, version, features), and the calls it must refuse.
#include "clap_fixture.h"

#include "hosts/common/host_error.h"

#include <cstring>
#include <set>

namespace kavet::test {
namespace {

using namespace clap;

class ClapFactory : public ::testing::Test {};

TEST_F(ClapFactory, EntrySpeaksTheStableInterfaceAndNamesOneFactory) {
    const auto module = loadClapModule();
    const PluginEntry& entry = module->entry();
    EXPECT_EQ(entry.clap_version.major, 1u);
    EXPECT_NE(entry.get_factory(kPluginFactoryId), nullptr);
    for (const char* other : {"clap.preset-discovery-factory/2", "clap.plugin-factory/2",
                              "clap.plugin-factor", "", "CLAP.PLUGIN-FACTORY"})
        EXPECT_EQ(entry.get_factory(other), nullptr) << other;
    // A second init (a host's scanner and its player in one process) changes nothing.
    EXPECT_TRUE(entry.init(module->path().c_str()));
    entry.deinit();
    EXPECT_EQ(module->factory(), entry.get_factory(kPluginFactoryId));
}

TEST_F(ClapFactory, ListsBothConfigurations) {
    const auto module = loadClapModule();
    const PluginFactory* factory = module->factory();
    ASSERT_EQ(factory->get_plugin_count(factory), 2u);
    const std::vector<host::ClapDescriptor> list = module->descriptors();
    ASSERT_EQ(list.size(), 2u);
    for (const ClapFacts& facts : {kStereoClap, kMonoClap}) {
        SCOPED_TRACE(facts.name);
        const host::ClapDescriptor& d = list[facts.index];
        EXPECT_EQ(d.clapVersion.major, 1u);
        EXPECT_EQ(d.id, facts.id);
        EXPECT_EQ(d.name, facts.name);
        EXPECT_EQ(d.vendor, "Velmorant Ltd");
        EXPECT_EQ(d.version, KAVET_VERSION_TEXT);
        EXPECT_FALSE(d.description.empty());
        const std::set<std::string> features(d.features.begin(), d.features.end());
        EXPECT_EQ(features.size(), d.features.size()) << "a feature listed twice";
        EXPECT_TRUE(features.count("audio-effect"));
        EXPECT_TRUE(features.count(facts.channelFeature));
        EXPECT_FALSE(features.count(std::strcmp(facts.channelFeature, "mono") ? "mono" : "stereo"));
        EXPECT_FALSE(features.count("instrument") || features.count("note-effect"));
        // The texts a host reads without checking: never null.
        const PluginDescriptor* raw = factory->get_plugin_descriptor(factory, facts.index);
        for (const char* text : {raw->id, raw->name, raw->vendor, raw->url, raw->manual_url,
                                 raw->support_url, raw->version, raw->description})
            EXPECT_NE(text, nullptr);
    }
}

// Out of range and unknown: null, and nothing made.
TEST_F(ClapFactory, RefusesWhatItDoesNotHave) {
    const auto module = loadClapModule();
    const PluginFactory* factory = module->factory();
    for (uint32 index : {2u, 3u, 0xFFFFFFFFu})
        EXPECT_EQ(factory->get_plugin_descriptor(factory, index), nullptr) << index;
    // Ids a host may get wrong (one with trailing garbage, the other case, a prefix).
    for (const char* id : {"com.velmorant.kavet.stereo!", "com.velmorant.kavet.monox",
                           "COM.VELMORANT.KAVET.MONO", "com.velmorant.kavet", ""})
        EXPECT_THROW(host::ClapPlugin(module, id), host::HostError) << id;
    EXPECT_EQ(factory->create_plugin(factory, nullptr, kStereoClap.id), nullptr);
}

} // namespace
} // namespace kavet::test
