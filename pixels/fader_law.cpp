#include "fader_law.h"

#include <algorithm>
#include <cmath>

namespace kavet::editor {

double positionToLevel(double p) {
    return std::pow(p, kFaderLawExponent);
}

double levelToPosition(double l) {
    return std::pow(l, 1.0 / kFaderLawExponent);
}

namespace {

float cube(float x) {
    return x * x * x;
}

float cubeRoot(double v) {
    return static_cast<float>(std::pow(v, 1.0 / 3.0));
}

float rangeFactor(int index) {
    static constexpr float kFactors[3] = {2.0f, 4.0f, 8.0f};
    const int i = ((index % 3) + 3) % 3;
    return kFactors[i];
}

} // namespace

FaderModel::FaderModel(float initialValue) {
    setValue(initialValue);
}

void FaderModel::setValue(float x) {
    if (!fine_) {
        stored_ = x;
    } else {
        const float x0 = stored_;
        const float r = x0 > 0 ? cube(x) / cube(x0) : 0.0f;
        if (x0 > 0 && r > 0) {
            const float f = static_cast<float>((std::log(static_cast<double>(r / centre_)) /
                                                    std::log(static_cast<double>(range_)) +
                                                1.0) *
                                               0.5);
            if (f < -0.000001f || f > 1.000001f) {
                // The value left the window: centre a new one on it.
                const int index = rangeIndex_;
                setFineMode(false, index);
                stored_ = x;
                setFineMode(true, index);
            } else {
                finePosition_ = std::clamp(f, 0.0f, 1.0f);
            }
        } else {
            finePosition_ = 0.5f;
        }
    }
    position_ = static_cast<float>(levelToPosition(cube(stored_)));
}

float FaderModel::getValue() const {
    if (stored_ == 0) return 0;
    const double v = static_cast<double>(cube(stored_)) *
                     std::pow(static_cast<double>(range_), 2.0 * finePosition_ - 1.0) * centre_;
    return cubeRoot(v);
}

void FaderModel::setPosition(float p) {
    position_ = p;
    stored_ = p == 0 ? 0.0f : cubeRoot(positionToLevel(p));
}

void FaderModel::setFineMode(bool on, int rangeIndex) {
    if (rangeIndex != rangeIndex_ && on) {
        fine_ = false;
        setValue(getValue());
    }
    if (on == fine_) return;
    fine_ = on;
    rangeIndex_ = rangeIndex;
    if (on) {
        finePosition_ = 0.5f;
        centre_ = 1.0f;
        range_ = rangeFactor(rangeIndex);
        const float top = cube(stored_) * range_;
        if (top > 1) {
            // Keep the top of the travel at the maximum gain; the value sits above the middle.
            centre_ = 1.0f / top;
            finePosition_ = static_cast<float>((1.0 - std::log(static_cast<double>(centre_)) /
                                                          std::log(static_cast<double>(range_))) *
                                               0.5);
        }
    } else {
        setValue(getValue());
        centre_ = 1.0f;
        finePosition_ = 0.5f;
    }
}

void FaderModel::drag(int previousY, int y, bool shift) {
    float change = -static_cast<float>(y - previousY) * kFaderPixel;
    if (shift) change *= 0.1f;
    if (fine_)
        finePosition_ = std::clamp(finePosition_ + change, 0.0f, 1.0f);
    else
        setPosition(std::clamp(position_ + change, 0.0f, 1.0f));
}

void FaderModel::reset() {
    if (fine_)
        finePosition_ = 0.5f;
    else
        setValue(kDefaultValue);
}

int FaderModel::capRow() const {
    const float q = fine_ ? finePosition_ : position_;
    return static_cast<int>((1.0f - q) * static_cast<float>(kFaderTravelRows));
}

bool FaderModel::hitsCap(int f) const {
    return std::abs(29 + capRow() - f) <= 31;
}

bool faderTakesPress(int x, int y, int width, int height) {
    return x >= 64 && x <= width && y >= 0 && y <= height;
}

} // namespace kavet::editor
