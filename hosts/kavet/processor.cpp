#include "processor.h"

#include "clap_processor.h"
#include "hosts/common/host_error.h"
#include "lv2_processor.h"
#include "module_kind.h"
#include "pt_processor.h"
#include "vst3_bundle.h"
#include "vst3_processor.h"
#include "vst_processor.h"

namespace kavet::cli {

std::unique_ptr<ProcessorModule> openProcessorModule(const std::string& path, int channels) {
    if (namesVst3Bundle(path)) return std::make_unique<Vst3ProcessorModule>(path, channels);
    const ModuleKind kind = moduleKind(path);
    if (takenAsClap(path, kind)) return std::make_unique<ClapProcessorModule>(path, channels);
    if (namesLv2Plugin(path)) return std::make_unique<Lv2ProcessorModule>(path, channels);
    switch (kind) {
    case ModuleKind::HostFormat:
        return std::make_unique<PtProcessorModule>(path);
    case ModuleKind::Vst3:
        return std::make_unique<Vst3ProcessorModule>(path, channels);
    case ModuleKind::Clap: // above
    case ModuleKind::Neither:
        throw host::HostError(neitherFormatMessage(path));
    case ModuleKind::Vst:
    case ModuleKind::Unreadable: // the VST loader reports what is wrong with the file
        break;
    }
    return std::make_unique<VstProcessorModule>(path);
}

} // namespace kavet::cli
