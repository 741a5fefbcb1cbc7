// Test entry: every test process gets a fresh, empty configuration folder, so the
// registry that the plug-in reads and writes is the test's own and never the user's. A
// broken contract (base/contract.h) in code linked into the test fails the running test.
#include "test_env.h"

#include "base/contract.h"

#include <gtest/gtest.h>

namespace {

void failRunningTest(const char* file, int line, const char* condition) {
    ADD_FAILURE_AT(file, line) << "contract violated: " << condition;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    kavet::contract::setHandler(&failRunningTest);
    kavet::test::useFreshConfigHome();
    return RUN_ALL_TESTS();
}

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace kavet::test {

std::string useFreshConfigHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavet-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    return pattern;
}

} // namespace kavet::test
