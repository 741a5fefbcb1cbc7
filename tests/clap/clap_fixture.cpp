#include "clap_fixture.h"

#include "channel_buffers.h"

namespace kavet::test {

std::shared_ptr<const host::ClapModule> loadClapModule() {
    return std::make_shared<const host::ClapModule>(KAVET_CLAP_MODULE);
}

TestPlugin::TestPlugin(std::shared_ptr<const host::ClapModule> module, const char* id)
    : module_(std::move(module)), plugin_(std::make_unique<host::ClapPlugin>(module_, id)) {}

TestPlugin::~TestPlugin() {
    plugin_->close();
    if (allowed_) return;
    for (const host::LogEntry& e : plugin_->host().misbehaviour())
        ADD_FAILURE() << "unprovoked message of severity " << e.severity << ": " << e.message;
}

host::ClapProcessResult processLevel(host::ClapPlugin& plugin, float level, clap::uint32 frames,
                                     const host::EventList& events) {
    ChannelBuffers<float> b(plugin.inputChannels(), plugin.outputChannels(), frames, level, 7.0f);
    return plugin.process(b.inputs.data(), b.outputs.data(), frames, events);
}

host::EventList valueEvents(const std::vector<std::pair<clap::Id, double>>& values) {
    host::EventList events(64, 4096);
    for (const auto& [id, value] : values) {
        const clap::ParamValueEvent e = host::paramValueEvent(0, id, value);
        EXPECT_TRUE(events.push(&e.header));
    }
    return events;
}

} // namespace kavet::test
