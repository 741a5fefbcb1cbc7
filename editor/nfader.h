// nFader: the gain fader with its meters, one 96 x 401 control. The left half shows the level
// meter (bars, RMS lines, hold marks, a dB scale), the right half the fader cap on its track
// with a second dB scale. The value is the gain parameter (gain 8 x^3); fine mode spreads a
// window of +-6, +-12 or +-18 dB around the gain over the whole travel. The law, the fine
// mode and the pixels are the pixel engine's (FaderModel, FaderPainter); this control wires
// them to the toolkit and the mouse. [UI thread]
#pragma once

#include "ncontrol.h"
#include "pixels/fader_law.h"
#include "pixels/fader_painter.h"

#include <cstdint>

namespace kavet::editor {

class nFader : public nControl {
public:
    // The editor passes the cap 112, its mask 114, the colour strip 124 and its 6 x 9 font
    // strip (119), which must outlive the fader; the background is read once.
    nFader(const toolkit::CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
           std::int32_t capId, std::int32_t maskId, std::int32_t stripId, CDIB* smallFont,
           CDIB* background, float initialValue);
    ~nFader() override;

    // Virtual slots in this order, after nControl's.
    virtual double positionToLevel(double p);
    virtual double levelToPosition(double l);
    // Label of scale pixel px into `text` (at least 16 bytes).
    virtual void scaleLabel(std::int32_t pixel, char* text, bool normalOnly);
    virtual void drawFaderScale(CDIB* buffer);
    virtual void drawMeters(CDIB* buffer);
    virtual void drawMarker(CDIB* buffer, std::int32_t x, std::int32_t y, std::uint32_t colour,
                            bool pointsLeft);
    virtual void drawHoldMarks(CDIB* buffer);
    // The first eight values of a meter snapshot; stale RMS values keep the previous ones.
    virtual void setLevels(const double levels[8], bool rmsFresh);
    // Peak left, peak right, RMS left, RMS right (linear amplitudes).
    virtual void setHolds(double peakLeft, double peakRight, double rmsLeft, double rmsRight);
    virtual void setPostFader(bool on);
    // Enters or leaves fine mode (rangeIndex mod 3: +-6, +-12, +-18 dB). A gain of 0 keeps
    // fine mode off.
    virtual void setFineMode(bool on, std::int32_t rangeIndex);
    virtual void setPosition(float p);
    virtual void drawCap(CDIB* buffer, std::int32_t x, std::int32_t y, std::int32_t capWidth,
                         std::int32_t rows, std::int32_t capStride);

    void draw(toolkit::CDrawContext* context) override;
    void mouse(toolkit::CDrawContext* context, toolkit::CPosition& where,
               std::int32_t buttons = -1) override;
    // The gain parameter. In fine mode a value inside the window moves the cap inside it, one
    // outside re-centres the window, and 0 leaves fine mode.
    void setValue(float x) override;
    float getValue() const override;

    bool isFineMode() const { return model_.fineMode(); }
    float getFinePosition() const { return model_.finePosition(); }
    float getPosition() const { return model_.position(); }
    bool isPostFader() const { return painter_.postFader(); }
    const FaderModel& model() const { return model_; }
    const FaderPainter& painter() const { return painter_; }

private:
    // Mirrors the model into the toolkit's fields and marks the control dirty on a change.
    void modelChanged();

    // What the last modelChanged saw of the model, to tell whether the pixels changed.
    struct Shown {
        float stored, position, finePosition, centre, range;
        bool fine;
        bool operator==(const Shown&) const = default;
    };
    Shown shownState() const;

    CDIB* cap;     // owned
    CDIB* capMask; // owned
    CDIB* strip;   // owned
    FaderPainter painter_;
    FaderModel model_;
    Shown shown{};
};

} // namespace kavet::editor
