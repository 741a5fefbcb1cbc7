// A host whose DAE library has no "SetPlugInOpenAndCloseProcs": the module runs its open
// procedure while it loads and its close procedure when it is unloaded.
#include "ptsim_support.h"

#include <gtest/gtest.h>

namespace kavet::test {
namespace {

TEST(WithoutOpenCloseEntry, TheModuleOpensItselfWhileLoading) {
    for (const Build& build : {kStereoBuild, kMonoBuild}) {
        ptsim::PtModule module(build.ptModule, {"", false});
        EXPECT_FALSE(module.offeredOpenClose());
        EXPECT_TRUE(module.hasGroup()) << build.name;
        const auto registrations = module.resourceRegistrations();
        ASSERT_FALSE(registrations.empty());
        EXPECT_EQ(registrations.back().active, 1);
        // The host's own open counts on top of the module's.
        EXPECT_EQ(module.open(73), 0);
        EXPECT_EQ(module.close(), 0);
        EXPECT_TRUE(module.hasGroup());
    }
}

} // namespace
} // namespace kavet::test
