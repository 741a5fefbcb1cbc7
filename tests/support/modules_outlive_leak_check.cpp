// For programs that load modules from files. The window system inside a module keeps its
// process-wide state (window classes, queues) in an object that lives until the process
// ends; a module that is unloaded after opening its editor leaves that object behind. Leak
// checking is off for such programs until that state goes with its module.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "detect_leaks=0";
}
