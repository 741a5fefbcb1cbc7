// Contracts: a broken invariant of the effect's own code is reported and answered with the
// safe value; a host mistake is answered with its documented value and never reported.
#include "contract_catcher.h"
#include "host_fixture.h"

#include "core/params.h"
#include "core/prefs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace kavet::test {
namespace {

struct ContractCase {
    const char* name;
    int reports;                           // 1: a programming error, 0: a host mistake
    std::function<std::string(Plug&)> run; // the answer, as text
};

TEST(Contract, ProgrammingErrorsAreReportedAndHostMistakesAnsweredQuietly) {
    const ContractCase cases[] = {
        // Programming errors: the core's own callers never pass these.
        {"display text of index 6", 1,
         [](Plug&) {
             char text[kDisplayTextSize] = "untouched";
             formatDisplay(6, 1.0f, text);
             return std::string(text);
         }},
        {"display text of index -1", 1,
         [](Plug&) {
             char text[kDisplayTextSize] = "untouched";
             formatDisplay(-1, 1.0f, text);
             return std::string(text);
         }},
        {"preference word 7", 1,
         [](Plug&) { return std::to_string(sanitizePrefWord(kPrefWords, 1)); }},
        {"preference word -1", 1, [](Plug&) { return std::to_string(sanitizePrefWord(-1, 1)); }},
        // Host mistakes: documented quiet answers.
        {"host asks the display of index 6", 0,
         [](Plug& plug) {
             char text[kDisplayTextSize] = "untouched";
             plug.getParameterDisplay(6, text);
             return std::string(text);
         }},
        {"host sets parameter -1", 0,
         [](Plug& plug) {
             plug.setParameter(-1, 0.25f);
             return std::to_string(plug.getParameter(kGain));
         }},
        {"host sets a null chunk", 0,
         [](Plug& plug) { return std::to_string(plug.setChunk(nullptr, kChunkBytes, false)); }},
        {"host sets a short chunk", 0,
         [](Plug& plug) {
             StateChunk chunk{};
             return std::to_string(plug.setChunk(&chunk, kChunkBytes - 4, false));
         }},
        // In range, for contrast: the same calls with good arguments report nothing.
        {"display text of index 4", 0,
         [](Plug&) {
             char text[kDisplayTextSize] = "untouched";
             formatDisplay(kBypass, 1.0f, text);
             return std::string(text);
         }},
        {"preference word 3", 0, [](Plug&) { return std::to_string(sanitizePrefWord(3, 7)); }},
    };
    const std::string expected[] = {"", "", "0", "0", "untouched", "0.500000", "0", "0", "On", "3"};
    static_assert(std::size(cases) == std::size(expected));

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EffectHandle fx;
        ContractCatcher catcher;
        const std::string answer = cases[i].run(fx.plug());
        EXPECT_EQ(catcher.reports(), cases[i].reports) << cases[i].name;
        EXPECT_EQ(answer, expected[i]) << cases[i].name;
    }
}

} // namespace
} // namespace kavet::test
