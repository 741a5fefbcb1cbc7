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
    const int result = RUN_ALL_TESTS();
    // A failed run keeps its folders, to look at what the registry held.
    if (result == 0) kavet::test::removeConfigHomes();
    return result;
}

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace kavet::test {
namespace {

std::vector<std::string>& madeFolders() {
    static std::vector<std::string> folders;
    return folders;
}

} // namespace

std::string useFreshConfigHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavet-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    madeFolders().push_back(pattern);
    return pattern;
}

void removeConfigHomes() {
    std::error_code ignored; // a folder a test removed itself is fine
    for (const std::string& folder : madeFolders())
        std::filesystem::remove_all(folder, ignored);
    madeFolders().clear();
}

} // namespace kavet::test
