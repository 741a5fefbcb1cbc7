// How a text field converts between a parameter's value and its text: the field asks its
// value source for the display of the current value and hands it what the user typed. The
// editor implements it by forwarding to the effect. [UI thread]
#pragma once

#include <cstdint>

namespace kavet::editor {

class StringValParameter {
public:
    virtual ~StringValParameter() = default;
    // Writes the display text of parameter `index`'s current value (at most 256 bytes with
    // the terminator).
    virtual void getText(std::int32_t index, char* text) = 0;
    // Parses `text` and sets parameter `index`; text that does not parse is the source's to
    // answer (the effect clamps or ignores it).
    virtual void setFromText(std::int32_t index, const char* text) = 0;
};

} // namespace kavet::editor
