// Contracts: a broken invariant of the effect's own code is reported and answered with the
// safe value; a host mistake is answered with its documented value and never reported.
#include "contract_catcher.h"
#include "host_fixture.h"

#include "core/editor_link.h"
#include "core/params.h"
#include "core/prefs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace kavet::test {
namespace {

struct ContractCase {
    const char* name;
    int reports;                           // 1: a programming error, 0: a host mistake
    const char* answer;                    // the safe or documented answer, as text
    std::function<std::string(Plug&)> run; // makes the call, answers its result as text
};

std::string displayText(int index) {
    char text[kDisplayTextSize] = "untouched";
    formatDisplay(index, 1.0f, text);
    return text;
}

TEST(Contract, ProgrammingErrorsAreReportedAndHostMistakesAnsweredQuietly) {
    const ContractCase cases[] = {
        // Programming errors: the effect's own code never makes these calls.
        {"display text of index 6", 1, "", [](Plug&) { return displayText(6); }},
        {"display text of index -1", 1, "", [](Plug&) { return displayText(-1); }},
        {"preference word 7", 1, "0",
         [](Plug&) { return std::to_string(sanitizePrefWord(kPrefWords, 1)); }},
        {"preference word -1", 1, "0",
         [](Plug&) { return std::to_string(sanitizePrefWord(-1, 1)); }},
        {"editor words asked of no editor", 1, "7.000000",
         [](Plug&) {
             float words[2] = {7.0f, 7.0f};
             editorGetState(nullptr, words);
             return std::to_string(words[0]);
         }},
        // Host mistakes: their documented quiet answers.
        {"host asks the display of index 6", 0, "untouched",
         [](Plug& plug) {
             char text[kDisplayTextSize] = "untouched";
             plug.getParameterDisplay(6, text);
             return std::string(text);
         }},
        {"host sets parameter -1", 0, "0.500000",
         [](Plug& plug) {
             plug.setParameter(-1, 0.25f);
             return std::to_string(plug.getParameter(kGain));
         }},
        {"host sets a null chunk", 0, "0",
         [](Plug& plug) { return std::to_string(plug.setChunk(nullptr, kChunkBytes, false)); }},
        {"host sets a short chunk", 0, "0",
         [](Plug& plug) {
             StateChunk chunk{};
             return std::to_string(plug.setChunk(&chunk, kChunkBytes - 4, false));
         }},
        // The same calls in range report nothing.
        {"display text of index 4", 0, "On", [](Plug&) { return displayText(kBypass); }},
        {"preference word 3", 0, "3",
         [](Plug&) { return std::to_string(sanitizePrefWord(kPrefBallistics, 7)); }},
    };
    for (const ContractCase& c : cases) {
        EffectHandle fx;
        ContractCatcher catcher;
        const std::string answer = c.run(fx.plug());
        EXPECT_EQ(catcher.reports(), c.reports) << c.name;
        EXPECT_EQ(answer, c.answer) << c.name;
    }
}

} // namespace
} // namespace kavet::test
