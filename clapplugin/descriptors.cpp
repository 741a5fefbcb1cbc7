#include "descriptors.h"

namespace kavet::clapplugin {

namespace {

constexpr const char* kStereoFeatures[] = {clap::kFeatureAudioEffect, clap::kFeatureUtility,
                                           clap::kFeatureStereo, nullptr};
constexpr const char* kMonoFeatures[] = {clap::kFeatureAudioEffect, clap::kFeatureUtility,
                                         clap::kFeatureMono, nullptr};

} // namespace

const clap::PluginDescriptor kDescriptors[kPluginCount] = {
    {clap::kVersion, "com.velmorant.kavet.stereo", "Kavet Stereo", "Velmorant Ltd", "", "", "",
     KAVET_VERSION_TEXT, "Gain channel strip: gain, trim, pan, phase, mute, bypass, meters",
     kStereoFeatures},
    {clap::kVersion, "com.velmorant.kavet.mono", "Kavet Mono", "Velmorant Ltd", "", "", "",
     KAVET_VERSION_TEXT, "Gain channel strip: gain, trim, phase, mute, bypass, meters",
     kMonoFeatures},
};

} // namespace kavet::clapplugin
