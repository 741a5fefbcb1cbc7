// Pass/fail bookkeeping of the Windows test host: one line per check on standard output,
// a summary at the end, and the process exit code from the failure count.
#pragma once

#include <cstdarg>

class Checker {
public:
    // Records one check. On failure the message (printf format) says what was seen.
    bool expect(bool ok, const char* name, const char* fmt = nullptr, ...)
        __attribute__((format(printf, 4, 5)));
    // A check that compares texts exactly, quoting both on failure.
    bool expectText(const char* name, const char* seen, const char* wanted);
    void note(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    // Names what runs now, for the report of a crash.
    void setSection(const char* name);
    const char* section() const { return section_; }

    int passed() const { return passed_; }
    int failed() const { return failed_; }
    int summary() const;

private:
    int passed_ = 0;
    int failed_ = 0;
    char section_[96] = "start";
};
