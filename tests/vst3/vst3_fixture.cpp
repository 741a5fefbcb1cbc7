#include "vst3_fixture.h"

#include "hosts/common/vst3_host_object.h"

namespace kavet::test {

std::shared_ptr<const host::Vst3Module> loadBundle() {
    return std::make_shared<const host::Vst3Module>(KAVET_VST3_BUNDLE);
}

std::unique_ptr<host::Vst3Plugin> makeEffect(std::shared_ptr<const host::Vst3Module> module) {
    return std::make_unique<host::Vst3Plugin>(std::move(module), kFacts.processorCid);
}

std::string narrow(const vst3::char16* text, std::size_t units) {
    std::string out;
    for (std::size_t i = 0; i < units && text[i] != 0; ++i)
        out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return out;
}

void Vst3Test::TearDown() {
    EXPECT_EQ(host::liveHostObjects(), 0) << "host objects the module kept";
}

} // namespace kavet::test
