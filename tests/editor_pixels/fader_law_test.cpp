// The fader law and the fader's value logic: normal travel, fine windows, drags and resets.
#include "pixels/fader_law.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavet::editor {
namespace {

double db(double value) {
    return 20 * std::log10(8 * value * value * value);
}
float valueOfDb(double gainDb) {
    return static_cast<float>(std::cbrt(std::pow(10.0, gainDb / 20) / 8));
}

TEST(FaderLaw, ZeroDecibelsSitsAtThirteenTwentySecondsOfTheTravel) {
    EXPECT_DOUBLE_EQ(kFaderLawExponent, std::log(1.0 / 8) / std::log(13.0 / 22));
    EXPECT_NEAR(levelToPosition(0.125), 13.0 / 22, 1e-15);
    EXPECT_NEAR(positionToLevel(13.0 / 22), 0.125, 1e-15);
    EXPECT_EQ(positionToLevel(1), 1.0);
    EXPECT_EQ(positionToLevel(0), 0.0);
    EXPECT_EQ(levelToPosition(1), 1.0);
}

struct CapCase {
    float value;
    int capRow;
};

class CapRow : public ::testing::TestWithParam<CapCase> {};

TEST_P(CapRow, ValuePutsTheCapTopOnItsRow) {
    const FaderModel model(GetParam().value);
    EXPECT_EQ(model.capRow(), GetParam().capRow);
    EXPECT_FLOAT_EQ(model.getValue(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, CapRow,
                         ::testing::Values(CapCase{0.5f, 144}, CapCase{1.0f, 0},
                                           CapCase{0.0f, 352}));

TEST(FaderModel, SetPositionStoresTheCubeRootOfTheLevel) {
    FaderModel model;
    model.setPosition(13.0f / 22);
    EXPECT_NEAR(model.getValue(), 0.5f, 1e-6);
    model.setPosition(0);
    EXPECT_EQ(model.getValue(), 0.0f);
    EXPECT_EQ(model.capRow(), 352);
    model.setPosition(1);
    EXPECT_FLOAT_EQ(model.getValue(), 1.0f);
}

TEST(FaderModel, DragMovesOnePixelInThreeHundredFiftyTwoAndATenthWithShift) {
    FaderModel model;
    const float p0 = model.position();
    model.drag(200, 190, false); // 10 pixels up
    EXPECT_FLOAT_EQ(model.position(), p0 + 10 * 0.0028409092f);
    model.drag(190, 200, true); // 10 pixels down with Shift
    EXPECT_FLOAT_EQ(model.position(), p0 + 9 * 0.0028409092f);
    model.drag(400, 0, false);
    EXPECT_EQ(model.position(), 1.0f);
    EXPECT_FLOAT_EQ(model.getValue(), 1.0f);
    model.drag(0, 400, false);
    EXPECT_EQ(model.position(), 0.0f);
    EXPECT_EQ(model.getValue(), 0.0f);
}

TEST(FaderModel, ResetReturnsToZeroDecibelsInNormalMode) {
    FaderModel model(0.9f);
    model.reset();
    EXPECT_EQ(model.getValue(), 0.5f);
    EXPECT_EQ(model.capRow(), 144);
}

TEST(FaderModel, CapTakesPressesWithinItsHalfHeightPlusTwo) {
    const FaderModel model(0.5f); // cap top at row 144, centre 173
    for (int f : {142, 144, 173, 204})
        EXPECT_TRUE(model.hitsCap(f)) << f;
    for (int f : {0, 141, 205, 400})
        EXPECT_FALSE(model.hitsCap(f)) << f;
}

TEST(FaderModel, OnlyTheFaderHalfTakesPresses) {
    struct Case {
        int x, y;
        bool takes;
    };
    for (const Case c : {Case{63, 100, false}, Case{64, 100, true}, Case{96, 100, true},
                         Case{97, 100, false}, Case{80, -1, false}, Case{80, 0, true},
                         Case{80, 401, true}, Case{80, 402, false}, Case{10, 150, false}})
        EXPECT_EQ(faderTakesPress(c.x, c.y, 96, 401), c.takes) << c.x << "," << c.y;
}

TEST(FineMode, ZeroDecibelsWithRangeTwoSpansSixDecibelsEachWay) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    EXPECT_TRUE(model.fineMode());
    EXPECT_EQ(model.fineRange(), 2.0f);
    EXPECT_EQ(model.finePosition(), 0.5f);
    EXPECT_EQ(model.capRow(), 176);
    EXPECT_NEAR(db(model.getValue()), 0.0, 1e-5);
    model.drag(200, 0, false);
    EXPECT_NEAR(db(model.getValue()), 6.0206, 1e-4);
    model.drag(0, 400, false);
    EXPECT_NEAR(db(model.getValue()), -6.0206, 1e-4);
}

TEST(FineMode, RangeIndexChoosesTwoFourOrEight) {
    for (int index : {0, 1, 2, 3, 4, 5}) {
        FaderModel model(0.4f);
        model.setFineMode(true, index);
        EXPECT_EQ(model.fineRange(), (index % 3 == 0 ? 2.0f : index % 3 == 1 ? 4.0f : 8.0f));
        EXPECT_EQ(model.fineRangeIndex(), index);
    }
}

TEST(FineMode, WindowNearTheTopIsHeldAtTheMaximumGain) {
    FaderModel model(valueOfDb(16.0));
    model.setFineMode(true, 0);
    EXPECT_NEAR(model.finePosition(), 0.829, 0.0005);
    EXPECT_NEAR(db(model.getValue()), 16.0, 1e-4);
    // Window: bottom of the travel +6.02 dB, top +18.06 dB.
    FaderModel bottom = model;
    bottom.drag(0, 400, false);
    EXPECT_NEAR(db(bottom.getValue()), 6.0206, 1e-4);
    model.drag(400, 0, false);
    EXPECT_EQ(model.finePosition(), 1.0f);
    EXPECT_NEAR(model.getValue(), 1.0f, 1e-6);
    model.drag(100, 0, false); // further up changes nothing
    EXPECT_NEAR(db(model.getValue()), 18.0618, 1e-4);
}

TEST(FineMode, HostValueInsideTheWindowMovesTheCapWithinIt) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0); // window -6.02 .. +6.02 dB
    model.setValue(valueOfDb(3.0103));
    EXPECT_NEAR(model.finePosition(), 0.75, 1e-5);
    EXPECT_EQ(model.storedValue(), 0.5f); // the window stays
    EXPECT_NEAR(db(model.getValue()), 3.0103, 1e-4);
    EXPECT_EQ(model.capRow(), 88);
    model.setValue(valueOfDb(-6.0));
    EXPECT_NEAR(db(model.getValue()), -6.0, 1e-4);
    EXPECT_EQ(model.storedValue(), 0.5f);
}

TEST(FineMode, HostValueOutsideTheWindowReCentresIt) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    const float x = valueOfDb(-10.0);
    model.setValue(x);
    EXPECT_TRUE(model.fineMode());
    EXPECT_EQ(model.storedValue(), x);
    EXPECT_EQ(model.finePosition(), 0.5f);
    EXPECT_EQ(model.fineCentre(), 1.0f);
    EXPECT_NEAR(db(model.getValue()), -10.0, 1e-4);
    model.drag(200, 0, false); // the new window's top: -10 + 6.02 dB
    EXPECT_NEAR(db(model.getValue()), -3.9794, 1e-4);
}

TEST(FineMode, WindowEdgesDecideBetweenMovingAndReCentring) {
    struct Case {
        double gainDb;
        bool recentres;
    };
    // Window -6.02 .. +6.02 dB around 0 dB (R = 2).
    for (const Case c : {Case{6.02, false}, Case{-6.02, false}, Case{6.3, true}, Case{-6.3, true},
                         Case{0.5, false}}) {
        FaderModel model(0.5f);
        model.setFineMode(true, 0);
        const float x = valueOfDb(c.gainDb);
        model.setValue(x);
        EXPECT_EQ(model.storedValue(), c.recentres ? x : 0.5f) << c.gainDb;
        EXPECT_NEAR(db(model.getValue()), c.gainDb, 1e-4) << c.gainDb;
        if (c.recentres) {
            EXPECT_EQ(model.finePosition(), 0.5f) << c.gainDb;
        }
    }
}

TEST(FineMode, ResetGoesToTheWindowsMiddle) {
    FaderModel model(0.5f);
    model.setFineMode(true, 1);
    model.drag(200, 100, false);
    model.reset();
    EXPECT_EQ(model.finePosition(), 0.5f);
    EXPECT_NEAR(db(model.getValue()), 0.0, 1e-5);
}

TEST(FineMode, LeavingKeepsTheFineValue) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    model.drag(176, 88, false); // fine position 0.75: +3.01 dB
    const float fineValue = model.getValue();
    model.setFineMode(false, 0);
    EXPECT_FALSE(model.fineMode());
    EXPECT_EQ(model.finePosition(), 0.5f);
    EXPECT_EQ(model.fineCentre(), 1.0f);
    EXPECT_FLOAT_EQ(model.getValue(), fineValue);
    const float p = static_cast<float>(levelToPosition(fineValue * fineValue * fineValue));
    EXPECT_EQ(model.capRow(), static_cast<int>((1 - p) * 352.0f));
}

TEST(FineMode, ANewRangeReCentresOnTheCurrentValue) {
    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    model.drag(176, 88, false); // fine position 0.75: +3.01 dB
    model.setFineMode(true, 1);
    EXPECT_EQ(model.fineRange(), 4.0f);
    EXPECT_EQ(model.finePosition(), 0.5f);
    EXPECT_EQ(model.fineCentre(), 1.0f);
    EXPECT_NEAR(db(model.getValue()), 3.0103, 1e-4);
    model.drag(176, 0, false); // the new window's top: +3.01 + 12.04 dB
    EXPECT_NEAR(db(model.getValue()), 15.0515, 1e-4);
    model.drag(0, 176, false);
    model.setFineMode(true, 1); // same again: nothing changes
    EXPECT_EQ(model.finePosition(), 0.5f);
}

TEST(FineMode, SilenceReadsZeroAndAHostZeroLeavesTheWindowWhereItIs) {
    FaderModel silent(0.0f);
    silent.setFineMode(true, 0);
    EXPECT_EQ(silent.getValue(), 0.0f);
    silent.setValue(0.0f);
    EXPECT_EQ(silent.finePosition(), 0.5f);

    FaderModel model(0.5f);
    model.setFineMode(true, 0);
    model.drag(176, 100, false);
    model.setValue(0.0f); // r = 0: back to the window's middle
    EXPECT_EQ(model.finePosition(), 0.5f);
    EXPECT_EQ(model.storedValue(), 0.5f);
}

} // namespace
} // namespace kavet::editor
