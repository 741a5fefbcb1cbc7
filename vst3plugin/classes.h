// The module's classes as its factory lists them: for each channel configuration a
// processor and its edit controller. Shared by both configurations and by the build-time
// writer of moduleinfo.json, so it names no configuration's code.
#pragma once

#include "vst3/base.h"

namespace kavet::vst3plugin {

inline constexpr const char* kFactoryVendor = "Velmorant Ltd";
inline constexpr const char* kFactoryUrl = "";
inline constexpr const char* kFactoryEmail = "";
inline constexpr const char* kClassVersion = KAVET_VERSION_TEXT; // the project's version
// The interface version the module was written against, as hosts read it.
inline constexpr const char* kSdkVersion = "VST 3.7.9";

struct ClassDescription {
    vst3::Uid cid;
    const char* name;
    const char* category;
    const char* subCategories;
};

inline constexpr int kClassCount = 4;
// Stereo processor, stereo controller, mono processor, mono controller.
extern const ClassDescription kClasses[kClassCount];

// What each configuration's part of the module gives the factory: its two classes, each
// created with one reference for the caller; null when allocation fails. [UI thread]
struct PartEntry {
    vst3::FUnknown* (*createProcessor)();
    vst3::FUnknown* (*createController)();
};

} // namespace kavet::vst3plugin

// Each configuration's part, prelinked into one object whose only outside name is this.
extern "C" const kavet::vst3plugin::PartEntry* kavet_vst3_part_stereo();
extern "C" const kavet::vst3plugin::PartEntry* kavet_vst3_part_mono();
