// The byte-order callback handed to the host library with the resource file: resources are
// stored most significant byte first, and this puts the fields the host reads into the
// machine's order.
#pragma once

#include <cstdint>

namespace kavet::pt {

// 'thng': the five 32-bit fields at 0..16, then for each of the four 6-byte records at 20,
// 26, 32 and 38 its 32-bit field and the 16-bit field after it. 'cfrg': the 32-bit field
// at 32. Answers 1 for these kinds; 0, touching nothing, for any other kind or null bytes.
[[nodiscard]] std::int32_t SwapResourceBytes(std::uint32_t kind, void* bytes);

} // namespace kavet::pt
