// The one object that holds the build tree's folder.
#include "tree_paths.h"

#include <mutex>
#include <set>
#include <string>

namespace kavet::test {

const char* inBuildTree(const char* relative) {
    // Every path asked for is kept: callers hold the pointers for the process's life.
    static std::mutex lock;
    static std::set<std::string> kept;
    const std::scoped_lock hold(lock);
    return kept.insert(std::string(KAVET_BUILD_ROOT) + "/" + relative).first->c_str();
}

} // namespace kavet::test
