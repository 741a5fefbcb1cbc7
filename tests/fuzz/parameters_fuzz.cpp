// setParameter with any float (NaN, infinities, -0, subnormals), the control values of the
// host-format adaptor, and effString2Parameter / typed text with any bytes, in any order on
// any index. Asserts after every call: every parameter within 0..1 and never NaN or -0; a
// NaN leaves the parameter as it was; a number is clamped exactly; the display texts are
// terminated and short; finite input gives finite output.
#include "fuzz_support.h"

#include <cmath>
#include <string>

using namespace kavet;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolateRegistry();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    fuzz::PlugPtr plug = fuzz::newPlug();
    AEffect* record = plug->getAeffect();
    for (int step = 0; step < 64 && data.remaining_bytes() > 0; ++step) {
        const VstInt32 index = data.ConsumeIntegralInRange<VstInt32>(-1, kNumParams);
        const bool valid = index >= 0 && index < kNumParams;
        const float before = plug->getParameter(index);
        switch (data.ConsumeIntegralInRange<int>(0, 4)) {
        case 0: {
            const float v = fuzz::awkwardFloat(data);
            record->setParameter(record, index, v);
            const float after = record->getParameter(record, index);
            if (!valid) {
                KAVET_FUZZ_CHECK(after == 0.0f, "an index out of range answers 0");
            } else if (std::isnan(v)) {
                KAVET_FUZZ_CHECK(after == before, "a NaN leaves the parameter as it was");
            } else {
                const float expected = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
                KAVET_FUZZ_CHECK(after == expected, "a number is clamped to 0..1 exactly");
            }
            break;
        }
        case 1:
            plug->setControlValue(index, fuzz::awkwardFloat(data));
            break;
        case 2: {
            std::string text = data.ConsumeRandomLengthString(64);
            const VstIntPtr answer =
                plug->dispatcher(effString2Parameter, index, 0, text.data(), 0.0f);
            KAVET_FUZZ_CHECK(answer == 0 || answer == 1, "effString2Parameter answers 0 or 1");
            break;
        }
        case 3: {
            std::string text = data.ConsumeRandomLengthString(64);
            plug->setValueFromText(index, text.c_str());
            break;
        }
        case 4: {
            const float c = plug->getControlValue(index);
            KAVET_FUZZ_CHECK(std::isfinite(c) && c >= 0.0f && c <= 8.0f,
                             "a control value is a number from 0 to 8");
            break;
        }
        }
        fuzz::checkParameters(*plug);
    }
    fuzz::checkTexts(*plug);
    fuzz::checkProcessing(*plug, data);
    fuzz::checkParameters(*plug);
    return 0;
}
