#include "clap_fixture.h"

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

std::unique_ptr<host::VstPlugin> makeVst2Effect() {
    auto module = std::make_shared<const host::VstModule>(KAVET_VST_MODULE);
    return std::make_unique<host::VstPlugin>(std::move(module));
}

std::vector<unsigned char> chunkOf(host::VstPlugin& effect) {
    void* data = nullptr;
    const VstIntPtr size = effect.dispatch(effGetChunk, 0, 0, &data);
    if (data == nullptr || size <= 0) return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

std::string firstDifference(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b, std::size_t width) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return "first difference at sample " + std::to_string(at / width) + " of " +
           std::to_string(a.size() / width) + " (CLAP) and " + std::to_string(b.size() / width) +
           " (VST 2.4)";
}

host::ClapProcessResult processLevel(host::ClapPlugin& plugin, float level, clap::uint32 frames,
                                     const host::EventList& events) {
    std::vector<std::vector<float>> in(plugin.inputChannels(), std::vector<float>(frames, level));
    std::vector<std::vector<float>> out(plugin.outputChannels(), std::vector<float>(frames, 7.0f));
    std::vector<const float*> inputs;
    std::vector<float*> outputs;
    for (auto& c : in)
        inputs.push_back(c.data());
    for (auto& c : out)
        outputs.push_back(c.data());
    return plugin.process(inputs.data(), outputs.data(), frames, events);
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
