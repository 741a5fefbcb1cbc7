// The creation in progress: the group sets it around a process factory call, so that the
// process's framework bases, constructed before the plug-in's own code runs, know their
// type and the host's set-up. [UI thread] (the loading thread included).
#pragma once

#include "plugin_interface.h"

#include <cstdint>

class CEffectType;

namespace ptfw {

struct CreationContext {
    const CEffectType* type;
    PtProcessSetup setup;
    PtHostCallbacks callbacks;
};

class CreationScope {
public:
    explicit CreationScope(const CreationContext& context);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

private:
    const CreationContext* previous_;
};

const CreationContext* PendingCreation();

// The plug-in's resource file as registered with the host library (0: none).
void SetPlugInResourceFile(std::int32_t registration);
std::int32_t GetCurrentResourceFile();

} // namespace ptfw
