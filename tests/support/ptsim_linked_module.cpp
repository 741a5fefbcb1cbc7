// The stereo host-format module linked into the test program (ptsim_linked_module.h).
#include "ptsim_linked_module.h"

#include "protools/module_state.h"
#include "protools/template_process_rtas.h"

#include <windows.h>

extern "C" {
std::int16_t NewPlugIn();
std::int16_t WinPlugInOpen(std::int32_t hostVersion);
std::int16_t WinPlugInClose();
const PtRoutineTable* _PI_GetRoutineDescriptor(std::int32_t interfaceVersion);
}

namespace kavet::test {

namespace {

void attach() {
    kavet::pt::ModuleAttach(GetModuleHandleA(nullptr));
}

void detach() {
    kavet::pt::ModuleDetach();
}

} // namespace

ptsim::PtLinkedModule linkedStereoModule() {
    return {"linked stereo module",   NewPlugIn, WinPlugInOpen, WinPlugInClose,
            _PI_GetRoutineDescriptor, attach,    detach};
}

CTemplateNoUIProcessRTAS* processOf(const ptsim::PtInstance& instance) {
    return dynamic_cast<CTemplateNoUIProcessRTAS*>(CProcess::FromHandle(instance.handle()));
}

} // namespace kavet::test
