// The VST 3 binary interface's ground: its integer types, result codes, 16-byte ids and
// the reference-counted root interface every other one derives from.
//
// Interfaces are C++ classes of pure virtual functions in a fixed order: a host calls a
// function by its slot, so no declaration here may add, drop or reorder one. They have no
// destructor in the table (an object goes when its last reference is released).
#pragma once

#include <cstdint>
#include <cstring>

// 32-bit Windows calls every interface function with __stdcall, as COM does.
#if defined(_WIN32) && !defined(_WIN64)
#define KAVET_VST3_CALL __stdcall
#else
#define KAVET_VST3_CALL
#endif

namespace kavet::vst3 {

using int8 = std::int8_t;
using uint8 = std::uint8_t;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using TBool = std::uint8_t;
using char16 = char16_t;
using tresult = std::int32_t;
using FIDString = const char*; // a zero-terminated ASCII id
using String128 = char16[128];

// The result codes: COM's values on Windows, small integers elsewhere.
#if defined(_WIN32)
inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFF);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000E);
#else
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;
#endif

// A 16-byte id, written as four 32-bit words. Its bytes in memory: on Windows the layout of
// a COM GUID (the first word, then the second word's two halves, each little-endian; the
// rest as written), elsewhere the four words big-endian.
struct Uid {
    unsigned char bytes[16];

    static constexpr Uid of(uint32 a, uint32 b, uint32 c, uint32 d) {
        Uid uid{};
#if defined(_WIN32)
        const uint32 head[4] = {a, b, c, d};
        const int order[8] = {0, 8, 16, 24, 16, 24, 0, 8}; // shifts of a's and b's bytes
        for (int i = 0; i < 4; ++i)
            uid.bytes[i] = static_cast<unsigned char>(head[0] >> order[i]);
        for (int i = 4; i < 8; ++i)
            uid.bytes[i] = static_cast<unsigned char>(head[1] >> order[i]);
        for (int i = 8; i < 16; ++i)
            uid.bytes[i] = static_cast<unsigned char>(head[2 + (i - 8) / 4] >> (24 - 8 * (i % 4)));
#else
        const uint32 words[4] = {a, b, c, d};
        for (int i = 0; i < 16; ++i)
            uid.bytes[i] = static_cast<unsigned char>(words[i / 4] >> (24 - 8 * (i % 4)));
#endif
        return uid;
    }

    // Whether the 16 bytes at `other` (an id a caller handed in) are this id. Null is none.
    bool is(const void* other) const {
        return other != nullptr && std::memcmp(bytes, other, sizeof bytes) == 0;
    }
    const char* data() const {
        return reinterpret_cast<const char*>(bytes);
    }
};

// The root interface.
class FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

    // `iid` points to 16 bytes. On success *obj holds the interface with one more reference.
    virtual tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) = 0;
    virtual uint32 KAVET_VST3_CALL addRef() = 0;
    virtual uint32 KAVET_VST3_CALL release() = 0;

protected:
    ~FUnknown() = default;
};

// Asks `object` for interface `I`; null when it has none (or for a null object). The
// caller owns the reference it gets.
template <class I> I* queryAs(FUnknown* object) {
    void* obj = nullptr;
    if (object == nullptr || object->queryInterface(I::iid.data(), &obj) != kResultOk)
        return nullptr;
    return static_cast<I*>(obj);
}

} // namespace kavet::vst3
