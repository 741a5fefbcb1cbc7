// kavet through the VST 3 module, named by its bundle or its binary: the output equals that
// of the VST 2.4 module of the same configuration bit for bit, and info describes its classes
// and parameters.
#include "cli_checks.h"
#include "vst_equivalence.h"

#include "hosts/kavet/vst3_text.h"

#include <algorithm>

namespace kavet::test {
namespace {

const std::string kBundle = KAVET_VST3_BUNDLE;
const std::string kBinary = kBundle + "/Contents/x86_64-linux/Kavet.so";

TEST(KavetVst3, ProcessingEqualsTheVstModuleBitForBit) {
    expectTheVstModulesOutput(kBundle, kBinary);
}

// The lines of info about one audio effect class, in order and without a gap: the class,
// its effect's buses and every parameter, then the class after it.
std::string effectLines(const std::string& name, const std::string& cid,
                        const std::string& controller, int channels) {
    const std::string buses = std::to_string(channels);
    std::string text = "class           " + name +
                       "\ncategory        Audio Module Class\nsubcategories   Fx\n"
                       "vendor          Velmorant Ltd\nversion         1.1.0\n"
                       "SDK version     VST 3.7.9\nclass ID        " +
                       cid +
                       "\ncardinality     many\nclass flags     0x00000000 none\n"
                       "controller      " +
                       controller + "\nbuses           " + buses + " in, " + buses +
                       " out\n64-bit samples  yes\nparameters      " + (channels == 2 ? "6" : "5") +
                       "\n   id title        units  steps  default text     flags\n"
                       "    0 Gain         dB         0 0.500000 0        automate\n"
                       "    1 Trim         dB         0 0.500000 0        automate\n"
                       "    2 Phase        none       1 0.000000 Norm     automate\n"
                       "    3 Mute         none       1 0.000000 Thru     automate\n"
                       "    4 Bypass       none       1 0.000000 Off      automate,bypass\n";
    if (channels == 2) text += "    5 Pan          L->R       0 0.500000 0        automate\n";
    return text + "\nclass           " + name +
           "\ncategory        Component Controller Class\n"
           "subcategories   none\n";
}

TEST(KavetVst3, InfoDescribesTheClassesAndParametersByBundleOrBinary) {
    const std::string stereo = effectLines("Kavet Stereo", "63D8185CD76849FC95C555A3AF947C01",
                                           "A70C2C6934794AD081A9B60801FCB2F1", 2);
    const std::string mono = effectLines("Kavet Mono", "0ABB84B5F63E45B686946F559B107B95",
                                         "2A75385C9A22457584EBA3710FA78675", 1);
    const std::string factory = "vendor          Velmorant Ltd\nURL             none\n"
                                "e-mail          none\nfactory flags   0x00000010 unicode\n"
                                "classes         4\n\n";
    const struct {
        std::string plugin, firstLine;
    } cases[] = {
        {kBundle, "module          " + kBundle + " (VST 3, binary " + kBinary + ")\n"},
        {kBinary, "module          " + kBinary + " (VST 3)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plugin);
        const std::string out = runKavetOk({"info", "--plugin", c.plugin}).out;
        EXPECT_EQ(out.rfind(c.firstLine + factory + stereo, 0), 0u) << out;
        EXPECT_NE(out.find("\n\n" + mono), std::string::npos) << out;
    }
}

TEST(KavetVst3, Utf16TextsBecomeUtf8) {
    const struct {
        std::u16string text;
        std::size_t units; // the field's size
        std::string utf8;
    } cases[] = {
        {u"Gain", 128, "Gain"},
        {std::u16string(u"ab\0cd", 5), 6, "ab"},
        {u"abcd", 2, "ab"},
        {u"\u00B5s", 128, "\xC2\xB5s"},
        {u"\u20AC", 128, "\xE2\x82\xAC"},
        {u"\U0001F600!", 128, "\xF0\x9F\x98\x80!"},
        {std::u16string{char16_t(0xD83D), u'a'}, 128,
         "\xEF\xBF\xBD"
         "a"},
        {std::u16string{char16_t(0xDE00), u'a'}, 128,
         "\xEF\xBF\xBD"
         "a"},
        {std::u16string{u'a', char16_t(0xD83D), char16_t(0xDE00)}, 2, "a\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        std::u16string field = c.text;
        field.resize(std::max(field.size(), c.units) + 1);
        EXPECT_EQ(cli::utf8FromUtf16(field.data(), c.units), c.utf8) << c.utf8;
    }
}

} // namespace
} // namespace kavet::test
