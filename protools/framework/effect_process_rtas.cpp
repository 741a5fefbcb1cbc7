#include "effect_process_rtas.h"

long CEffectProcessRTAS::GetMeters(std::int32_t*, char*) {
    return 0;
}
