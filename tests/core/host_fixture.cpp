#include "host_fixture.h"

#include <cmath>
#include <stdexcept>

namespace kavet::test {

EffectHandle::EffectHandle() : plug_(static_cast<Plug*>(createEffectInstance(recordingHost))) {
    if (plug_ == nullptr) throw std::runtime_error("effect creation failed");
}

void EffectHandle::Close::operator()(Plug* plug) const {
    AEffect* e = plug->getAeffect();
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr EffectHandle::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    AEffect* e = record();
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

std::string EffectHandle::display(int index) {
    char text[64] = {};
    dispatch(effGetParamDisplay, index, 0, text);
    return text;
}

template <class Sample, class Process>
static std::vector<std::vector<Sample>> runBuffers(std::vector<std::vector<Sample>> input,
                                                   Process process) {
    std::vector<std::vector<Sample>> output(input.size(),
                                            std::vector<Sample>(input.at(0).size(), Sample(7)));
    std::vector<Sample*> in, out;
    for (auto& ch : input)
        in.push_back(ch.data());
    for (auto& ch : output)
        out.push_back(ch.data());
    process(in.data(), out.data(), static_cast<VstInt32>(input.at(0).size()));
    return output;
}

std::vector<std::vector<float>> EffectHandle::run(const std::vector<std::vector<float>>& input) {
    AEffect* e = record();
    return runBuffers<float>(
        input, [e](float** in, float** out, VstInt32 n) { e->processReplacing(e, in, out, n); });
}

std::vector<std::vector<double>>
EffectHandle::runDouble(const std::vector<std::vector<double>>& input) {
    AEffect* e = record();
    return runBuffers<double>(input, [e](double** in, double** out, VstInt32 n) {
        e->processDoubleReplacing(e, in, out, n);
    });
}

std::vector<std::vector<float>> EffectHandle::runConstant(float value, int frames) {
    return run(std::vector<std::vector<float>>(kNumChannels, std::vector<float>(frames, value)));
}

bool isSubnormal(double x) {
    return std::fpclassify(x) == FP_SUBNORMAL;
}

} // namespace kavet::test
