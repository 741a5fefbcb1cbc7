#include "check.h"

#include <cstdio>
#include <cstring>

bool Checker::expect(bool ok, const char* name, const char* fmt, ...) {
    if (ok) {
        ++passed_;
        std::printf("ok    %s\n", name);
    } else {
        ++failed_;
        std::printf("FAIL  %s", name);
        if (fmt) {
            std::printf(": ");
            va_list args;
            va_start(args, fmt);
            std::vprintf(fmt, args);
            va_end(args);
        }
        std::printf("\n");
    }
    std::fflush(stdout);
    return ok;
}

bool Checker::expectText(const char* name, const char* seen, const char* wanted) {
    return expect(std::strcmp(seen, wanted) == 0, name, "got \"%s\", want \"%s\"", seen, wanted);
}

void Checker::setSection(const char* name) {
    std::snprintf(section_, sizeof section_, "%s", name);
}

void Checker::note(const char* fmt, ...) {
    std::printf("note  ");
    va_list args;
    va_start(args, fmt);
    std::vprintf(fmt, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

int Checker::summary() const {
    std::printf("%d passed, %d failed\n", passed_, failed_);
    std::fflush(stdout);
    return failed_ == 0 ? 0 : 1;
}
