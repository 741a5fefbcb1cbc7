// The CLAP module's own pieces, without a host: the parameters' descriptions and texts, the
// ring that carries the editor's edits to the host, and the state streams' read and write
// loops. Written once, compiled for each channel configuration.
#include "clapplugin/gesture_queue.h"
#include "clapplugin/param_text.h"
#include "clapplugin/state_stream.h"

#include "core/config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace kavet;
using namespace kavet::clapplugin;
namespace clap = kavet::clap;

// The flags each parameter must carry: every one automatable; the switches stepped; Bypass the
// host's bypass. Pan exists in the stereo build only.
TEST(ClapParams, DescriptionsFollowTheTable) {
    struct Row {
        const char* name;
        clap::uint32 flags;
        double defaultValue;
    };
    const Row rows[] = {
        {"Gain", 0x20, 0.5}, {"Trim", 0x20, 0.5},   {"Phase", 0x21, 0.0},
        {"Mute", 0x21, 0.0}, {"Bypass", 0x31, 0.0}, {"Pan", 0x20, 0.5},
    };
    for (clap::uint32 id = 0; id < static_cast<clap::uint32>(kNumParams); ++id) {
        clap::ParamInfo info;
        std::memset(&info, 0xA5, sizeof info);
        ASSERT_TRUE(describeParam(id, info)) << id;
        EXPECT_EQ(info.id, id);
        EXPECT_STREQ(info.name, rows[id].name);
        EXPECT_EQ(info.flags, rows[id].flags) << rows[id].name;
        EXPECT_EQ(info.module[0], '\0');
        EXPECT_EQ(info.cookie, nullptr);
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, 1.0);
        EXPECT_EQ(info.default_value, rows[id].defaultValue) << rows[id].name;
    }
    clap::ParamInfo info;
    EXPECT_FALSE(describeParam(static_cast<clap::uint32>(kNumParams), info));
    EXPECT_FALSE(describeParam(0xFFFFFFFFu, info));
}

TEST(ClapParams, ValueToTextIsTheEffectsDisplay) {
    struct Row {
        clap::Id id;
        double value;
        double trimDb;
        clap::uint32 capacity;
        bool ok;
        const char* text;
    };
    const double nan = std::nan("");
    const Row rows[] = {
        {0, 0.5, 36, 64, true, "0"},
        {0, 0.0, 36, 64, true, "-oo"},
        {0, -3.0, 36, 64, true, "-oo"},    // clamped, as the effect stores it
        {0, 7.0, 36, 64, true, " 18.06"},  // clamped to the fader's top
        {0, 0.25, 36, 64, true, "-18.06"}, // 8 * 0.25^3 = 1/8
        {1, 0.25, 36, 64, true, "-18.00"}, // the trim's range in force
        {1, 0.25, 12, 64, true, " -6.00"}, // six wide
        {1, 1.0, 24, 64, true, " 24.00"},
        {2, 0.7, 36, 64, true, "Flip"},
        {3, 0.2, 36, 64, true, "Thru"},
        {3, 0.5, 36, 64, true, "Mute"}, // a switch is on from 0.5
        {4, 1.0, 36, 64, true, "On"},
        {4, 0.49, 36, 64, true, "Off"},
        {0, 1.0, 36, 3, true, " 1"}, // cut to fit, terminated
        {4, 1.0, 36, 1, true, ""},
        {4, 1.0, 36, 0, false, nullptr}, // no room at all
        {0, nan, 36, 64, false, nullptr},
        {static_cast<clap::Id>(kNumParams), 0.5, 36, 64, false, nullptr},
    };
    for (const Row& row : rows) {
        char text[64];
        std::memset(text, 'x', sizeof text);
        const bool ok = paramValueToText(row.id, row.value, row.trimDb, text, row.capacity);
        EXPECT_EQ(ok, row.ok) << row.id << " " << row.value;
        if (ok) {
            EXPECT_STREQ(text, row.text) << row.id << " " << row.value;
        }
        if (row.capacity < sizeof text) {
            EXPECT_EQ(text[row.capacity], 'x') << "wrote past capacity";
        }
    }
    if (kStereo) {
        char text[64];
        ASSERT_TRUE(paramValueToText(5, 0.25, 36, text, sizeof text));
        EXPECT_STREQ(text, "L 50  ");
    }
}

TEST(ClapParams, TextToValueReadsOwnTextsAndTypedText) {
    struct Row {
        clap::Id id;
        const char* text;
        double trimDb;
        bool ok;
        double value;
    };
    const Row rows[] = {
        {2, "flip", 36, true, 1.0},
        {2, "NORM", 36, true, 0.0},
        {2, "xyz", 36, true, 0.0},
        {3, "Mute", 36, true, 1.0},
        {3, "thru", 36, true, 0.0},
        {4, "on", 36, true, 1.0},
        {4, "Off", 36, true, 0.0},
        {4, "Onward", 36, true, 0.0}, // not its text: off
        {1, "-18", 36, true, 0.25},
        {1, "-6", 12, true, 0.25},
        {1, "99", 36, true, 1.0},
        {0, "0", 36, true, 0.5},
        {0, "-oo", 36, true, 0.0},
        {0, " -oo ", 36, true, 0.0},
        {0, "-oops", 36, true, 0.5}, // no number: 0 dB, as the editor reads it
        {0, "40", 36, true, 1.0},
        {0, "-400", 36, true, 0.0},
        {static_cast<clap::Id>(kNumParams), "0", 36, false, 0.0},
        {0, nullptr, 36, false, 0.0},
    };
    for (const Row& row : rows) {
        double value = -7.0;
        const bool ok = paramTextToValue(row.id, row.text, row.trimDb, value);
        EXPECT_EQ(ok, row.ok) << row.id << " '" << (row.text ? row.text : "null") << "'";
        if (ok) {
            EXPECT_NEAR(value, row.value, 1e-6) << row.id << " '" << row.text << "'";
        } else {
            EXPECT_EQ(value, -7.0);
        }
    }
    if (kStereo) {
        double value = -1.0;
        ASSERT_TRUE(paramTextToValue(5, "L50", 36, value));
        EXPECT_NEAR(value, 0.25, 1e-6);
        ASSERT_TRUE(paramTextToValue(5, "50", 36, value));
        EXPECT_NEAR(value, 0.75, 1e-6);
    }
}

// A host shows a value's text and reads it back when the user confirms it: the value comes
// back as the display's precision allows (switches and silence exactly).
TEST(ClapParams, TextsRoundTrip) {
    for (clap::Id id = 0; id < static_cast<clap::Id>(kNumParams); ++id) {
        for (int step = 0; step <= 20; ++step) {
            const double value = step / 20.0;
            char text[64];
            ASSERT_TRUE(paramValueToText(id, value, 24, text, sizeof text));
            double back = -1.0;
            ASSERT_TRUE(paramTextToValue(id, text, 24, back)) << text;
            const bool isSwitch = id == 2 || id == 3 || id == 4;
            const double expected = isSwitch ? (value >= 0.5 ? 1.0 : 0.0) : value;
            const double tolerance = isSwitch || value == 0.0 ? 0.0 : 2e-4;
            EXPECT_NEAR(back, expected, tolerance) << id << " " << value << " '" << text << "'";
        }
    }
}

// The ring's order and bounds, one step at a time: 'p' pushes the next param (true when
// taken), 'f' reads the front (its param, or -1 for none), 'd' drops it.
TEST(ClapEditQueue, KeepsOrderAndBounds) {
    struct Step {
        char op;
        int param;
        bool taken;
    };
    const Step steps[] = {
        {'f', -1, false}, {'d', 0, false}, {'f', -1, false}, // empty: nothing to drop
        {'p', 1, true},   {'p', 2, true},  {'p', 3, true},   {'p', 4, true},
        {'p', 5, false}, // full at four
        {'f', 1, false},  {'d', 0, false}, {'p', 6, true},   {'p', 7, false},
        {'f', 2, false},  {'d', 0, false}, {'f', 3, false},  {'d', 0, false},
        {'f', 4, false},  {'d', 0, false}, {'f', 6, false},  {'d', 0, false},
        {'f', -1, false}, {'p', 8, true},  {'f', 8, false},
    };
    EditQueue<4> queue;
    int at = 0;
    for (const Step& step : steps) {
        ++at;
        if (step.op == 'p') {
            const Edit edit{Edit::Kind::value, static_cast<std::uint32_t>(step.param),
                            step.param / 8.0};
            EXPECT_EQ(queue.push(edit), step.taken) << "step " << at;
        } else if (step.op == 'd') {
            queue.pop();
        } else {
            const Edit* front = queue.front();
            EXPECT_EQ(queue.pending(), step.param >= 0) << "step " << at;
            if (step.param < 0) {
                EXPECT_EQ(front, nullptr) << "step " << at;
            } else {
                ASSERT_NE(front, nullptr) << "step " << at;
                EXPECT_EQ(front->param, static_cast<std::uint32_t>(step.param)) << "step " << at;
                EXPECT_EQ(front->value, step.param / 8.0) << "step " << at;
            }
        }
    }
}

// The main thread's edits reach the consumer whole and in order while both run at once.
TEST(ClapEditQueue, CarriesEditsBetweenThreads) {
    constexpr std::uint32_t kEdits = 200000;
    EditQueue<64> queue;
    std::thread producer([&] {
        for (std::uint32_t i = 0; i < kEdits;) {
            const auto kind = static_cast<Edit::Kind>(i % 3);
            if (queue.push(Edit{kind, i, i * 0.5}))
                ++i;
            else
                std::this_thread::yield();
        }
    });
    std::uint32_t expected = 0, wrong = 0;
    while (expected < kEdits) {
        const Edit* edit = queue.front();
        if (edit == nullptr) {
            std::this_thread::yield();
            continue;
        }
        if (edit->param != expected || edit->value != expected * 0.5 ||
            edit->kind != static_cast<Edit::Kind>(expected % 3))
            ++wrong;
        queue.pop();
        ++expected;
    }
    producer.join();
    EXPECT_EQ(wrong, 0u);
    EXPECT_FALSE(queue.pending());
}

// A host's stream: `length` bytes 0, 1, 2, ... given at most `chunk` a call; after `failAt`
// bytes it answers -1; `overclaim` answers one byte more than it was asked for.
struct FakeInput {
    long long length, chunk, failAt;
    bool overclaim;
    long long at = 0;
    clap::InputStream stream{this, &FakeInput::read};

    static clap::int64 KAVET_CLAP_CALL read(const clap::InputStream* s, void* buffer,
                                            clap::uint64 size) {
        auto& self = *static_cast<FakeInput*>(s->ctx);
        if (self.at >= self.failAt) return -1;
        if (self.overclaim) return static_cast<clap::int64>(size) + 1;
        long long n = std::min({static_cast<long long>(size), self.chunk, self.length - self.at});
        for (long long i = 0; i < n; ++i)
            static_cast<unsigned char*>(buffer)[i] = static_cast<unsigned char>(self.at + i);
        self.at += n;
        return n;
    }
};

TEST(ClapStateStream, ReadsWholeStatesOnly) {
    constexpr long long kNever = 1LL << 40;
    struct Row {
        long long length, chunk, failAt;
        bool overclaim;
        long long expected; // bytes read, or -1
    };
    const Row rows[] = {
        {60, 60, kNever, false, 60},  {60, 1, kNever, false, 60},
        {60, 7, kNever, false, 60},   {59, 60, kNever, false, 59}, // short: shows as 59
        {61, 60, kNever, false, 61}, // long: one byte past the capacity tells it
        {600, 13, kNever, false, 61}, {0, 60, kNever, false, 0},
        {60, 8, 40, false, -1},     // fails on the way
        {60, 60, 60, false, -1},    // fails where the end is asked for
        {60, 60, kNever, true, -1}, // claims more than it was asked
    };
    for (const Row& row : rows) {
        FakeInput input{row.length, row.chunk, row.failAt, row.overclaim};
        unsigned char bytes[60];
        std::memset(bytes, 0xEE, sizeof bytes);
        EXPECT_EQ(readState(&input.stream, bytes, 60), row.expected)
            << row.length << "/" << row.chunk << "/" << row.failAt;
        if (row.expected != 60) continue;
        for (int i = 0; i < 60; ++i)
            ASSERT_EQ(bytes[i], i) << "byte " << i;
    }
    unsigned char bytes[4];
    EXPECT_EQ(readState(nullptr, bytes, 4), -1);
    clap::InputStream noRead{nullptr, nullptr};
    EXPECT_EQ(readState(&noRead, bytes, 4), -1);
}

// A host's stream that takes at most `chunk` bytes a call and answers `failWith` once it holds
// `failAt` bytes.
struct FakeOutput {
    long long chunk, failAt, failWith;
    std::vector<unsigned char> bytes;
    clap::OutputStream stream{this, &FakeOutput::write};

    static clap::int64 KAVET_CLAP_CALL write(const clap::OutputStream* s, const void* buffer,
                                             clap::uint64 size) {
        auto& self = *static_cast<FakeOutput*>(s->ctx);
        if (static_cast<long long>(self.bytes.size()) >= self.failAt) return self.failWith;
        const long long n = std::min(static_cast<long long>(size), self.chunk);
        const auto* in = static_cast<const unsigned char*>(buffer);
        self.bytes.insert(self.bytes.end(), in, in + n);
        return n;
    }
};

TEST(ClapStateStream, WritesEveryByteOrFails) {
    constexpr long long kNever = 1LL << 40;
    struct Row {
        long long chunk, failAt, failWith;
        bool ok;
    };
    const Row rows[] = {
        {60, kNever, 0, true}, {1, kNever, 0, true},
        {7, kNever, 0, true},  {8, 16, -1, false}, // an error on the way
        {8, 16, 0, false},                         // a stream that stops taking bytes
        {8, 0, -1, false},
    };
    unsigned char state[60];
    for (int i = 0; i < 60; ++i)
        state[i] = static_cast<unsigned char>(200 - i);
    for (const Row& row : rows) {
        FakeOutput output{row.chunk, row.failAt, row.failWith, {}};
        EXPECT_EQ(writeState(&output.stream, state, 60), row.ok) << row.chunk << "/" << row.failAt;
        if (row.ok) {
            ASSERT_EQ(output.bytes.size(), 60u);
            EXPECT_EQ(std::memcmp(output.bytes.data(), state, 60), 0);
        }
    }
    EXPECT_FALSE(writeState(nullptr, state, 60));
}

} // namespace
