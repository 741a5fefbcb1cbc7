// The stereo module linked into the test program and loaded by the simulated host through
// its exports and entry, so that its windows live in the same Win32 layer as the host's
// plug-in window (on Windows every module shares the system's). Code in the test can also
// reach what only the module can: the process behind an instance and its effect.
#pragma once

#include "hosts/ptsim/pt_instance.h"
#include "hosts/ptsim/pt_module.h"

class CTemplateNoUIProcessRTAS;

namespace kavet::test {

ptsim::PtLinkedModule linkedStereoModule();
// The adaptor's process behind an instance of the linked module.
CTemplateNoUIProcessRTAS* processOf(const ptsim::PtInstance& instance);

} // namespace kavet::test
