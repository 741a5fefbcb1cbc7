// The module's factory as a host reads it before creating anything: vendor, the four
// classes (their ids, categories, names, versions) and the calls it must refuse.
#include "vst3_fixture.h"

#include <cstring>

namespace kavet::test {
namespace {

using namespace vst3;
using Ref3 = host::Ref<IPluginFactory3>;

struct ClassFacts {
    int32 index;
    Uid cid;
    const char* category;
    const char* name; // null: any name (the controllers')
    const char* subCategories;
    const char* version;
};

const ClassFacts kClasses[] = {
    {0, kStereoFacts.processorCid, kAudioEffectClass, "Kavet Stereo", "Fx", "1.1.0"},
    {1, kStereoFacts.controllerCid, kComponentControllerClass, nullptr, nullptr, nullptr},
    {2, kMonoFacts.processorCid, kAudioEffectClass, "Kavet Mono", "Fx", "1.1.0"},
    {3, kMonoFacts.controllerCid, kComponentControllerClass, nullptr, nullptr, nullptr},
};

std::string cidText(const Uid& uid) {
    std::string text;
    for (unsigned char b : uid.bytes) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        text += hex;
    }
    return text;
}

class Vst3Factory : public Vst3Test {};

TEST_F(Vst3Factory, ListsTheFourClassesOfBothConfigurations) {
    const auto module = loadBundle();
    const PFactoryInfo info = module->factoryInfo();
    EXPECT_STREQ(info.vendor, "Velmorant Ltd");
    EXPECT_EQ(info.flags, int32{PFactoryInfo::kUnicode});

    const std::vector<host::Vst3ClassInfo> classes = module->classes();
    ASSERT_EQ(module->factory()->countClasses(), 4);
    ASSERT_EQ(classes.size(), 4u);
    const Ref3 third = Ref3::adopt(queryAs<IPluginFactory3>(module->factory()));
    ASSERT_TRUE(third) << "the factory is no IPluginFactory3";
    for (const ClassFacts& c : kClasses) {
        SCOPED_TRACE(c.index);
        const host::Vst3ClassInfo& seen = classes[static_cast<std::size_t>(c.index)];
        EXPECT_EQ(cidText(seen.cid), cidText(c.cid));
        EXPECT_EQ(seen.category, c.category);
        EXPECT_EQ(seen.cardinality, kManyInstances);
        // The controller reaches its processor in the same process: no host may part them.
        EXPECT_EQ(seen.classFlags & kDistributable, 0u);
        EXPECT_EQ(seen.name, c.name != nullptr ? c.name : seen.name);
        EXPECT_FALSE(seen.name.empty());
        EXPECT_EQ(seen.subCategories,
                  c.subCategories != nullptr ? c.subCategories : seen.subCategories);
        EXPECT_EQ(seen.version, c.version != nullptr ? c.version : seen.version);
        // The Unicode list says the same.
        PClassInfoW wide{};
        ASSERT_EQ(third->getClassInfoUnicode(c.index, &wide), kResultOk);
        EXPECT_EQ(narrow(wide.name, 64), seen.name);
        EXPECT_EQ(std::memcmp(wide.cid, c.cid.bytes, 16), 0);
        // And the plain list.
        PClassInfo plain{};
        ASSERT_EQ(module->factory()->getClassInfo(c.index, &plain), kResultOk);
        EXPECT_EQ(std::memcmp(plain.cid, c.cid.bytes, 16), 0);
    }
}

TEST_F(Vst3Factory, EachProcessorNamesItsController) {
    const auto module = loadBundle();
    for (const Vst3Facts* facts : {&kStereoFacts, &kMonoFacts}) {
        SCOPED_TRACE(facts->processorName);
        const auto component = module->create<IComponent>(facts->processorCid);
        ASSERT_TRUE(component);
        char cid[16] = {};
        ASSERT_EQ(component->getControllerClassId(cid), kResultOk);
        EXPECT_EQ(std::memcmp(cid, facts->controllerCid.bytes, 16), 0);
        EXPECT_TRUE(component.as<IAudioProcessor>());
        EXPECT_TRUE(component.as<IConnectionPoint>());
        EXPECT_FALSE(component.as<IEditController>()) << "a separate controller is expected";
        const auto controller = module->create<IEditController>(facts->controllerCid);
        ASSERT_TRUE(controller);
        EXPECT_TRUE(controller.as<IConnectionPoint>());
        // Not connected to a processor: no editor to show.
        const auto app = host::Ref<host::HostApplication>::adopt(new host::HostApplication);
        ASSERT_EQ(controller->initialize(app.get()), kResultOk);
        EXPECT_EQ(host::Ref<IPlugView>::adopt(controller->createView(kEditorViewName)).get(),
                  nullptr);
        EXPECT_EQ(controller->terminate(), kResultOk);
    }
}

// Out-of-range indices and unknown ids: an error and nothing made.
TEST_F(Vst3Factory, RefusesWhatItDoesNotHave) {
    const auto module = loadBundle();
    IPluginFactory* factory = module->factory();
    for (int32 index : {-1, 4, 1000}) {
        PClassInfo info{};
        EXPECT_NE(factory->getClassInfo(index, &info), kResultOk) << index;
    }
    const Uid unknown = Uid::of(0x01234567, 0x89ABCDEF, 0x01234567, 0x89ABCDEF);
    struct Case {
        const char* what;
        Uid cid;
        Uid iid;
    } cases[] = {
        {"an unknown class", unknown, IComponent::iid},
        {"a processor as a controller", kStereoFacts.processorCid, IEditController::iid},
        {"a controller as a component", kMonoFacts.controllerCid, IComponent::iid},
        {"an unknown interface", kStereoFacts.processorCid, unknown},
    };
    for (const Case& c : cases) {
        void* obj = reinterpret_cast<void*>(1);
        EXPECT_NE(factory->createInstance(c.cid.data(), c.iid.data(), &obj), kResultOk) << c.what;
        EXPECT_EQ(obj, nullptr) << c.what;
    }
}

} // namespace
} // namespace kavet::test
