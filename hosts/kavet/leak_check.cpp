// For the leak checker of sanitized builds: fontconfig, which cairo's text drawing loads for
// the level plot, keeps allocations of its own caches that no pointer reaches at exit. They
// are the library's, made once per process; every allocation of kavet's own stays checked,
// and the list of suppressions used is not printed (kavet's error output is its own).
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
