// The fader law and the value logic of the gain fader (nFader).
//
// A fader position p in [0, 1] (0 = bottom) stands for the linear gain 8 p^K, so p = 13/22 is
// 0 dB. The gain parameter x has the gain 8 x^3, hence p = (x^3)^(1/K). Fine mode spreads a
// window of R^-1 .. R around the current gain (R = 2, 4, 8: +-6.02, +-12.04, +-18.06 dB) over
// the whole travel; the fine position then locates the gain inside the window.
#pragma once

namespace kavet::editor {

// K = ln(1/8) / ln(13/22).
inline constexpr double kFaderLawExponent = 3.9526113493947617;
// One pixel of the 352-pixel fader travel, 1/352 in single precision.
inline constexpr float kFaderPixel = 0.0028409092f;
// Rows between the cap's top at the top and at the bottom of the travel.
inline constexpr int kFaderTravelRows = 352;

// p^K: the level (fraction of the full scale 8) at fader position p.
double positionToLevel(double p);
// l^(1/K): the fader position of a level l (fraction of the full scale 8).
double levelToPosition(double l);

// [UI thread]
class FaderModel {
public:
    static constexpr float kDefaultValue = 0.5f; // 0 dB

    explicit FaderModel(float initialValue = kDefaultValue);

    // The gain parameter from the host or the editor. In fine mode a value inside the window
    // moves the fine position; one outside re-centres the window on it.
    void setValue(float x);
    // The gain parameter that the fader shows (in fine mode, the point of the window).
    float getValue() const;
    // Normal-mode travel: position and the stored value follow each other.
    void setPosition(float p);
    // Enters or leaves fine mode; rangeIndex mod 3 chooses R = 2, 4, 8.
    void setFineMode(bool on, int rangeIndex);

    // One step of a cap drag: the pointer moved from row `previousY` to row `y` (control
    // coordinates); up raises. A tenth of the travel with Shift. Clamped to the travel.
    void drag(int previousY, int y, bool shift);
    // The reset gesture (Control/Alt click, double click): 0 dB in normal mode, the window's
    // middle in fine mode.
    void reset();

    // Row of the cap's top in the control: truncation of (1 - q) x 352 with q the fine
    // position in fine mode, else the position.
    int capRow() const;
    // Whether a press on row f (control coordinates) hits the cap (its half height 29 plus 2).
    bool hitsCap(int f) const;

    float storedValue() const { return stored_; }
    float position() const { return position_; }
    bool fineMode() const { return fine_; }
    float finePosition() const { return finePosition_; }
    float fineCentre() const { return centre_; }
    float fineRange() const { return range_; }
    int fineRangeIndex() const { return rangeIndex_; }

private:
    float stored_ = 0;   // the parameter value x (CControl's value)
    float position_ = 0; // normal-mode position p (nControl's value)
    bool fine_ = false;
    float finePosition_ = 0.5f; // 0 .. 1 within the window
    float centre_ = 1.0f;       // ratio by which the window is moved down from the top
    float range_ = 2.0f;        // R
    int rangeIndex_ = 0;
};

// Whether the fader takes a press at (x, y), in control coordinates of a control of the given
// size: the fader half (x from 64 to the right edge) and top to bottom, both inclusive.
bool faderTakesPress(int x, int y, int width, int height);

} // namespace kavet::editor
