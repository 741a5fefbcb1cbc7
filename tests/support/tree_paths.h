// Files of the build tree, named relative to its root (cmake/KavetTreePaths.cmake), so that
// the objects that name them are the same whichever folder the tree was checked out in.
#pragma once

namespace kavet::test {

// The build tree's root joined with `relative`; the text lives as long as the process. Any
// thread.
const char* inBuildTree(const char* relative);

} // namespace kavet::test
