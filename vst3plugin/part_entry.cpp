// This configuration's part of the module: the one name the prelinked part keeps for the
// factory (KAVET_VST3_PART_ENTRY, set by the build per configuration).
#include "classes.h"
#include "controller.h"
#include "processor.h"

namespace kavet::vst3plugin {
namespace {

vst3::FUnknown* createProcessor() {
    return static_cast<vst3::IComponent*>(Processor::create());
}

vst3::FUnknown* createController() {
    return static_cast<vst3::IEditController*>(Controller::create());
}

constexpr PartEntry kEntry{createProcessor, createController};

} // namespace
} // namespace kavet::vst3plugin

extern "C" const kavet::vst3plugin::PartEntry* KAVET_VST3_PART_ENTRY() {
    return &kavet::vst3plugin::kEntry;
}
