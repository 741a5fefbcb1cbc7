// The VST 3 effect of this test's configuration (KAVET_STEREO) as a host meets it: the
// bundle loaded, the effect's processor and controller made and connected; beside it the
// VST 2.4 module of the same configuration, whose output and chunk the VST 3 effect must
// reproduce to the bit.
#pragma once

#include "vst2_reference.h"

#include "hosts/common/vst3_plugin.h"

#include "core/config.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kavet::test {

// What this configuration's classes are: the factory's contract.
struct Vst3Facts {
    const char* processorName;
    vst3::int32 processorIndex; // the controller's is the next
    vst3::Uid processorCid;
    vst3::Uid controllerCid;
    vst3::SpeakerArrangement arrangement;
};

inline constexpr Vst3Facts kStereoFacts = {
    "Kavet Stereo", 0, vst3::Uid::of(0x63D8185C, 0xD76849FC, 0x95C555A3, 0xAF947C01),
    vst3::Uid::of(0xA70C2C69, 0x34794AD0, 0x81A9B608, 0x01FCB2F1), vst3::kArrStereo};
inline constexpr Vst3Facts kMonoFacts = {
    "Kavet Mono", 2, vst3::Uid::of(0x0ABB84B5, 0xF63E45B6, 0x86946F55, 0x9B107B95),
    vst3::Uid::of(0x2A75385C, 0x9A224575, 0x84EBA371, 0x0FA78675), vst3::kArrMono};
inline constexpr const Vst3Facts& kFacts = kStereo ? kStereoFacts : kMonoFacts;

std::shared_ptr<const host::Vst3Module> loadBundle();
std::unique_ptr<host::Vst3Plugin> makeEffect(std::shared_ptr<const host::Vst3Module> module);

// The UTF-16 text of an interface's field, as far as its terminator.
std::string narrow(const vst3::char16* text, std::size_t units);

// Every test ends with every host object given back: the module released each reference
// it took (messages, streams, the handler, the parameter changes).
class Vst3Test : public ::testing::Test {
protected:
    void TearDown() override;
};

} // namespace kavet::test
