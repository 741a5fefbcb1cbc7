// The CLAP binary interface's ground: its integer types, the calling convention, the
// interface's version and ids.
//
// CLAP is a C interface: every object is a standard-layout structure of data and function
// pointers in a fixed order, passed across the module boundary as it is. No declaration here
// may add, drop or reorder a member, and none has a constructor, a virtual or a base class,
// so that every one is what a C compiler lays out for the same members.
#pragma once

#include <cstddef>
#include <cstdint>

// Windows calls every function of the interface with __cdecl (both word sizes); elsewhere the
// platform's C convention.
#if defined(_WIN32)
#define KAVET_CLAP_CALL __cdecl
#else
#define KAVET_CLAP_CALL
#endif

namespace kavet::clap {

using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;

// A parameter, a port, a timer: an id the plug-in or the host chooses.
using Id = uint32;
inline constexpr Id kInvalidId = 0xFFFFFFFF;

// Fixed text capacities, terminator included: a name shown to the user, a path of modules.
inline constexpr std::size_t kNameSize = 256;
inline constexpr std::size_t kPathSize = 1024;

// The interface's version: 1.x.y is the stable binary interface (0.x.y were development
// versions and are not compatible with it).
struct Version {
    uint32 major;
    uint32 minor;
    uint32 revision;
};

inline constexpr Version kVersion = {1, 2, 1};

// Whether an object (a host, a descriptor) that says it is of `version` speaks this interface.
constexpr bool isCompatible(const Version& version) {
    return version.major >= 1;
}

static_assert(sizeof(Version) == 12);

} // namespace kavet::clap
