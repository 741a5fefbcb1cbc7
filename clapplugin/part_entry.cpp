// This configuration's part of the module: the one name the prelinked part keeps for the
// factory (KAVET_CLAP_PART_ENTRY, set by the build per configuration).
#include "descriptors.h"
#include "instance.h"

namespace kavet::clapplugin {
namespace {

constexpr PartEntry kEntry{Instance::create};

} // namespace
} // namespace kavet::clapplugin

extern "C" const kavet::clapplugin::PartEntry* KAVET_CLAP_PART_ENTRY() {
    return &kavet::clapplugin::kEntry;
}
