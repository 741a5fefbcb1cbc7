// "kavet editor": the editor of the strip on the windowing layer's headless backend, with
// audio run through the effect and idle calls between blocks, written as a PNG.
//
// A module loaded with dlopen carries a windowing layer of its own, which a window of the
// host's layer is foreign to; so the picture is made by the effect and editor linked into a
// renderer of the module's configuration (kavet-editor-stereo, kavet-editor-mono beside the
// kavet executable), which shares the layer and its driver. "kavet editor" reads which
// configuration the module given with --plugin is (its unique ID) and runs that renderer
// with the same arguments.
#pragma once

#include <string>
#include <vector>

namespace kavet::cli {

// In kavet: chooses the renderer and runs it; throws HostError when it fails.
void runEditor(const std::vector<std::string>& args);

// In the renderers: the whole command; answers the process status.
int renderEditorPicture(const std::vector<std::string>& args);

} // namespace kavet::cli
