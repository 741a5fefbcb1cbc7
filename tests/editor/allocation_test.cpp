// An editor that cannot be allocated fails the creation of its effect only: the entry answers
// null for that call, and the next creation in the same process succeeds with an editor.
#include "editor/pluged.h"

#include "core/plug.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
bool failEditorAllocation = false;
}

// The nothrow allocation the effect uses for its editor; fails for an editor-sized request
// while the test asks for it. Otherwise it is the ordinary allocation, so that the ordinary
// delete releases it.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (failEditorAllocation && size == sizeof(kavet::editor::PlugEd)) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    ::operator delete(p);
}

extern "C" AEffect* VSTPluginMain(audioMasterCallback host);

namespace kavet::test {
namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(EditorAllocation, FailedEditorFailsThatCreationOnly) {
    failEditorAllocation = true;
    AEffect* failed = VSTPluginMain(host);
    failEditorAllocation = false;
    EXPECT_EQ(failed, nullptr);

    AEffect* next = VSTPluginMain(host);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->flags & effFlagsHasEditor, effFlagsHasEditor);
    next->dispatcher(next, effClose, 0, 0, nullptr, 0.0f);
}

} // namespace
} // namespace kavet::test
