// kavet-editor-stereo / kavet-editor-mono: the renderers that "kavet editor" runs.
#include "editor_picture.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    return kavet::cli::renderEditorPicture(std::vector<std::string>(argv + 1, argv + argc));
}
