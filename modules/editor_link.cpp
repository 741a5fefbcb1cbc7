// The effect's link to its editor (core/editor_link.h), bound where the modules are linked:
// the effect of this configuration always has a PlugEd. The effect asks for its editor
// before every call, so a null editor here is a fault of the effect, not of a host.
#include "core/editor_link.h"

#include "base/contract.h"

#include "editor/pluged.h"

#include <new>

namespace kavet {

AEffEditor* createEditor(Plug* effect) noexcept {
    return new (std::nothrow) editor::PlugEd(effect);
}

void editorGetState(AEffEditor* editor, float words[2]) {
    KAVET_EXPECT(editor != nullptr);
    static_cast<editor::PlugEd*>(editor)->getEditorState(words);
}

void editorSetState(AEffEditor* editor, const float words[2]) {
    KAVET_EXPECT(editor != nullptr);
    static_cast<editor::PlugEd*>(editor)->setEditorState(words);
}

bool editorTakeReadings(AEffEditor* editor, MeterSnapshot& snapshot, bool& rmsFresh) {
    if (editor == nullptr) return false;
    return static_cast<editor::PlugEd*>(editor)->takeLastReadings(snapshot, rmsFresh);
}

} // namespace kavet
