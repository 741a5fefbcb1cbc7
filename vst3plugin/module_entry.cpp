// The entries Linux hosts call around the module's life (the build adds this file outside
// Windows): nothing to set up or tear down.
#ifndef KAVET_EXPORT
#define KAVET_EXPORT
#endif

extern "C" KAVET_EXPORT bool ModuleEntry(void*) {
    return true;
}

extern "C" KAVET_EXPORT bool ModuleExit() {
    return true;
}
