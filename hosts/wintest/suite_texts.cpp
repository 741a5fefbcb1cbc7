// Vendor, product and version answers, and the names, labels and display texts of the
// parameters: five in the mono build, Pan as a sixth in the stereo build.
#include "suites.h"

#include <cstdio>
#include <cstring>

namespace {
// Host buffers are larger than the nominal sizes; the plug-in's texts must end within the
// 32-byte fields that it keeps, and nothing after the terminating zero may change.
constexpr int kBuffer = 256;
constexpr char kFill = 0x55;

struct TextReply {
    char text[kBuffer];
    bool terminatedInField;
    bool tailUntouched;
};

TextReply askText(AEffect* fx, VstInt32 opcode, VstInt32 index, int field) {
    TextReply reply;
    std::memset(reply.text, kFill, sizeof reply.text);
    dispatch(fx, opcode, index, 0, reply.text);
    const void* zero = std::memchr(reply.text, 0, static_cast<size_t>(field));
    reply.terminatedInField = zero != nullptr;
    reply.tailUntouched = true;
    if (zero) {
        for (const char* p = static_cast<const char*>(zero) + 1; p < reply.text + kBuffer; ++p)
            if (*p != kFill) reply.tailUntouched = false;
    } else {
        reply.text[field - 1] = 0;
    }
    return reply;
}

void expectTextReply(Checker& check, AEffect* fx, VstInt32 opcode, VstInt32 index, int field,
                     const char* wanted, const char* what) {
    const TextReply reply = askText(fx, opcode, index, field);
    char name[96];
    std::snprintf(name, sizeof name, "%s[%ld]", what, static_cast<long>(index));
    if (!reply.terminatedInField)
        check.expect(false, name, "no terminating zero within %d bytes", field);
    else if (!reply.tailUntouched)
        check.expect(false, name, "bytes after the terminating zero of \"%s\" written", reply.text);
    else
        check.expectText(name, reply.text, wanted);
}

struct ParamTexts {
    const char* name;
    const char* label;
    const char* display;
};
constexpr ParamTexts kDefaults[] = {
    {"Gain", "dB", "0"},
    {"Trim", "dB", "0"},
    {"Phase", "(Norm/Flip)", "Norm"},
    {"Mute", "(Thru/Mute)", "Thru"},
    {"Bypass", "(Off/On)", "Off"},
    {"Pan", "L->R", "0"},
};

// Display texts after setParameter (index, value): the gain law 8 v^3, the 36 dB trim
// range of the default preferences, the switches' threshold of 0.5, the pan's sides and
// its centre band (stereo only).
struct DisplayCase {
    VstInt32 index;
    float value;
    const char* display;
};
constexpr DisplayCase kDisplays[] = {
    {0, 0.25f, "-18.06"}, {0, 1.5f, " 18.06"}, {0, 0.0f, "-oo"},    {0, 0.5f, "0"},
    {1, 0.0f, "-36.00"},  {1, 1.0f, " 36.00"}, {1, 0.5f, "0"},      {2, 0.5f, "Flip"},
    {2, 0.49f, "Norm"},   {3, 1.0f, "Mute"},   {3, 0.0f, "Thru"},   {4, 0.5f, "On"},
    {4, -1.0f, "Off"},    {5, 0.0f, "L100  "}, {5, 1.0f, "  100R"}, {5, 0.25f, "L 50  "},
    {5, 0.501f, "0"},
};
} // namespace

void checkTexts(Context& ctx) {
    Checker& check = ctx.check;
    EffectInstance fx(ctx.module.entry());
    if (!fx) return;
    AEffect* e = fx.get();

    expectTextReply(check, e, effGetVendorString, 0, kVstMaxVendorStrLen, "Velmorant Ltd",
                    "VendorString");
    expectTextReply(check, e, effGetProductString, 0, kVstMaxProductStrLen, ctx.facts.product,
                    "ProductString");
    check.expect(dispatch(e, effGetVendorVersion) == 1100, "VendorVersion1100");
    check.expect(dispatch(e, effGetVstVersion) == 2400, "VstVersion2400");
    check.expect(dispatch(e, effGetPlugCategory) == kPlugCategEffect, "CategoryEffect");
    check.expect(dispatch(e, effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")) == 0,
                 "CanDoMidiAnswersZero");

    const VstInt32 params = ctx.facts.params;
    for (VstInt32 i = 0; i < params; ++i) {
        expectTextReply(check, e, effGetParamName, i, 32, kDefaults[i].name, "ParamName");
        expectTextReply(check, e, effGetParamLabel, i, 32, kDefaults[i].label, "ParamLabel");
        expectTextReply(check, e, effGetParamDisplay, i, 32, kDefaults[i].display,
                        "DefaultDisplay");
    }
    for (const DisplayCase& c : kDisplays) {
        if (c.index >= params) continue;
        e->setParameter(e, c.index, c.value);
        char what[64];
        std::snprintf(what, sizeof what, "DisplayAfterSet%.2f", static_cast<double>(c.value));
        expectTextReply(check, e, effGetParamDisplay, c.index, 32, c.display, what);
    }
    // Past the last parameter (Pan exists only in the stereo build) nothing is stored.
    e->setParameter(e, params, 0.3f);
    check.expect(e->getParameter(e, params) == 0.0f, "NoParameterPastTheLast");
}
