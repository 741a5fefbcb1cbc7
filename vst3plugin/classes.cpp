#include "classes.h"

#include "vst3/factory.h"

namespace kavet::vst3plugin {

using vst3::Uid;

const ClassDescription kClasses[kClassCount] = {
    {Uid::of(0x63D8185C, 0xD76849FC, 0x95C555A3, 0xAF947C01), "Kavet Stereo",
     vst3::kAudioEffectClass, vst3::kFxSubcategory},
    {Uid::of(0xA70C2C69, 0x34794AD0, 0x81A9B608, 0x01FCB2F1), "Kavet Stereo",
     vst3::kComponentControllerClass, ""},
    {Uid::of(0x0ABB84B5, 0xF63E45B6, 0x86946F55, 0x9B107B95), "Kavet Mono", vst3::kAudioEffectClass,
     vst3::kFxSubcategory},
    {Uid::of(0x2A75385C, 0x9A224575, 0x84EBA371, 0x0FA78675), "Kavet Mono",
     vst3::kComponentControllerClass, ""},
};

} // namespace kavet::vst3plugin
