// The effect's link to its editor. modules/editor_link.cpp defines these functions (the
// effect owns an editor of its own configuration and never sees its class); every module
// and program that creates the effect links that binding (kavet_effect_<config>).
#pragma once

#include "meter.h"

#include "vst/aeffeditor.h"

namespace kavet {

class Plug;

// Builds the editor of `effect`, which attaches itself as the effect's editor (setting the
// has-editor flag). Null when it cannot be allocated; nothing is attached then.
AEffEditor* createEditor(Plug* effect) noexcept; // [UI thread]

// The editor's two chunk words: Pre switch (tag 500), then Fine switch (tag 501).
// [UI thread]
void editorGetState(AEffEditor* editor, float words[2]);
void editorSetState(AEffEditor* editor, const float words[2]);
// The meter snapshot the editor took at its last idle, once; false when it took none since.
// [UI thread]
bool editorTakeReadings(AEffEditor* editor, MeterSnapshot& snapshot, bool& rmsFresh);

} // namespace kavet
