#include "byte_order.h"

#include "protools/framework/fic_types.h"

#include <algorithm>

namespace kavet::pt {

namespace {

void Reverse(unsigned char* at, int bytes) {
    std::reverse(at, at + bytes);
}

} // namespace

std::int32_t SwapResourceBytes(std::uint32_t kind, void* bytes) {
    auto* b = static_cast<unsigned char*>(bytes);
    if (b == nullptr) return 0;
    if (kind == ptfw::FourCC("thng")) {
        for (int offset : {0, 4, 8, 12, 16})
            Reverse(b + offset, 4);
        for (int record : {20, 26, 32, 38}) {
            Reverse(b + record, 4);
            Reverse(b + record + 4, 2);
        }
        return 1;
    }
    if (kind == ptfw::FourCC("cfrg")) {
        Reverse(b + 32, 4);
        return 1;
    }
    return 0;
}

} // namespace kavet::pt
