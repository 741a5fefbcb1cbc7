// The process registry: which process owns an effect record, so that the effect's host
// callback finds its process. Written when a process is constructed and destroyed (UI
// thread), read by the host callback.
#pragma once

#include <cstddef>

struct AEffect;
class CTemplateNoUIProcessRTAS;

namespace kavet::pt {

// Replaces an earlier entry for the same record.
void RegisterProcess(AEffect* effect, CTemplateNoUIProcessRTAS* process);
// Removes the entry of `effect` if it still names `process`: a late callback from a
// destroyed process's effect then finds nothing instead of a freed process.
void UnregisterProcess(AEffect* effect, const CTemplateNoUIProcessRTAS* process);
CTemplateNoUIProcessRTAS* FindProcess(AEffect* effect);
std::size_t RegisteredProcessCount();

} // namespace kavet::pt
