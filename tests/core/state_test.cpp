// The state chunk and the stored preferences.
#include "host_fixture.h"
#include "test_env.h"

#include <windows.h>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace kavet::test {
namespace {

std::string storedPrefs() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return "<no key>";
    }
    char data[64] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "prefdataKavet", nullptr, &type,
                                   reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "<no value>";
    if (type != REG_SZ) return "<not REG_SZ>";
    return std::string(data, size);
}

void storePrefs(const void* data, DWORD size, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Velmorant", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "prefdataKavet", 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void storePrefs(const std::string& text) {
    storePrefs(text.c_str(), static_cast<DWORD>(text.size() + 1));
}

struct Chunk {
    std::vector<unsigned char> bytes;
    float param(int i) const {
        float f;
        std::memcpy(&f, &bytes[4 * i], 4);
        return f;
    }
    std::int32_t word(int i) const {
        std::int32_t w;
        std::memcpy(&w, &bytes[4 * i], 4);
        return w;
    }
    void setParam(int i, float f) { std::memcpy(&bytes[4 * i], &f, 4); }
    void setWord(int i, std::int32_t w) { std::memcpy(&bytes[4 * i], &w, 4); }
};

Chunk getChunk(EffectHandle& fx) {
    void* data = nullptr;
    VstIntPtr size = fx.dispatch(effGetChunk, 0, 0, &data);
    Chunk c;
    c.bytes.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    return c;
}

VstIntPtr setChunk(EffectHandle& fx, Chunk& c) {
    return fx.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(c.bytes.size()), c.bytes.data());
}

constexpr int kPrefBase = kNumParams + 2;

class State : public testing::Test {
protected:
    void SetUp() override { useFreshConfigHome(); }
};

TEST_F(State, FreshMachineStoresTheDefaults) {
    EXPECT_EQ(storedPrefs(), "<no key>");
    EffectHandle fx;
    EXPECT_EQ(storedPrefs(), std::string("0220000") + '\0');
}

TEST_F(State, FreshChunkHoldsDefaultsAndPreferences) {
    EffectHandle fx;
    Chunk c = getChunk(fx);
    ASSERT_EQ(c.bytes.size(), kStereo ? 60u : 56u);
    const float params[] = {0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 0.5f};
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ(c.param(i), params[i]) << i;
    EXPECT_EQ(c.param(kNumParams), 0.0f) << "Pre";
    EXPECT_EQ(c.param(kNumParams + 1), 0.0f) << "Fine";
    const std::int32_t prefs[] = {0, 2, 2, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(c.word(kPrefBase + i), prefs[i]) << i;
    // Little-endian words: the first byte of Gain's 0.5f (0x3F000000) is 0.
    EXPECT_EQ(c.bytes[0], 0x00);
    EXPECT_EQ(c.bytes[3], 0x3F);
}

TEST_F(State, WrongSizesAreRefused) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.3f);
    for (int size : {0, 4, 55, 56, 57, 59, 61, 64, 1000}) {
        if (size == kChunkBytes) continue;
        std::vector<unsigned char> bytes(static_cast<std::size_t>(size), 0);
        EXPECT_EQ(fx.dispatch(effSetChunk, 0, size, bytes.data()), 0) << size;
        EXPECT_EQ(fx.plug().getParameter(kGain), 0.3f);
    }
    unsigned char byte = 0;
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, -60, &byte), 0);
}

TEST_F(State, RoundTripRestoresEverything) {
    EffectHandle a;
    const float values[] = {0.8f, 0.1f, 1.0f, 0.0f, 1.0f, 0.3f};
    for (int i = 0; i < kNumParams; ++i)
        a.plug().setParameter(i, values[i]);
    a.plug().getPrefs()->set(kPrefBallistics, 3);
    Chunk c = getChunk(a);

    EffectHandle b;
    EXPECT_EQ(setChunk(b, c), kChunkBytes);
    for (int i = 0; i < kNumParams; ++i)
        EXPECT_EQ(b.plug().getParameter(i), values[i]) << i;
    EXPECT_EQ(b.plug().getPrefs()->get(kPrefBallistics), 3);
    EXPECT_EQ(getChunk(b).bytes, c.bytes);
}

TEST_F(State, ParameterWordsAreClamped) {
    EffectHandle fx;
    Chunk c = getChunk(fx);
    c.setParam(kGain, 1.5f);
    c.setParam(kTrim, -3.0f);
    ASSERT_EQ(setChunk(fx, c), kChunkBytes);
    EXPECT_EQ(fx.plug().getParameter(kGain), 1.0f);
    EXPECT_EQ(fx.plug().getParameter(kTrim), 0.0f);
}

TEST_F(State, ForeignByteOrderIsDetectedAndReversed) {
    EffectHandle source;
    source.plug().setParameter(kGain, 0.75f);
    source.plug().setParameter(kMute, 1.0f);
    source.plug().getPrefs()->set(kPrefFineRange, 1);
    Chunk c = getChunk(source);
    // As written on a big-endian machine: every word reversed. Reversed ordinary floats
    // read as ordinary tiny numbers, so the detection needs one word that reads as a NaN,
    // an infinity or -0: a Phase word of 00 00 00 80 (-0 here, a tiny number there).
    for (std::size_t w = 0; w < c.bytes.size(); w += 4) {
        std::swap(c.bytes[w], c.bytes[w + 3]);
        std::swap(c.bytes[w + 1], c.bytes[w + 2]);
    }
    c.bytes[4 * kPhase + 3] = 0x80; // big-endian 0x00000080: a denormal there, -0 here
    EffectHandle target;
    ASSERT_EQ(setChunk(target, c), kChunkBytes);
    EXPECT_EQ(target.plug().getParameter(kGain), 0.75f);
    EXPECT_EQ(target.plug().getParameter(kMute), 1.0f);
    EXPECT_GT(target.plug().getParameter(kPhase), 0.0f) << "the denormal, as written";
    EXPECT_LT(target.plug().getParameter(kPhase), 1e-30f);
    EXPECT_EQ(target.plug().getPrefs()->get(kPrefFineRange), 1);
}

TEST_F(State, OrdinaryNumbersIncludingZeroAreNotReversed) {
    EffectHandle fx;
    Chunk c = getChunk(fx);
    c.setParam(kGain, 0.0f);
    c.setParam(kTrim, 1e-20f);
    ASSERT_EQ(setChunk(fx, c), kChunkBytes);
    EXPECT_EQ(fx.plug().getParameter(kGain), 0.0f);
    EXPECT_EQ(fx.plug().getParameter(kTrim), 1e-20f);
    EXPECT_EQ(fx.plug().getPrefs()->get(kPrefTrimRange), 2);
}

TEST_F(State, SpecialWordsTriggerReversal) {
    struct Case {
        float word;
        const char* name;
    };
    const Case cases[] = {{std::numeric_limits<float>::quiet_NaN(), "NaN"},
                          {std::numeric_limits<float>::infinity(), "inf"},
                          {-std::numeric_limits<float>::infinity(), "-inf"},
                          {-0.0f, "-0"}};
    for (const Case& k : cases) {
        EffectHandle fx;
        Chunk c = getChunk(fx);
        c.setParam(kMute, k.word);
        c.setWord(kPrefBase + kPrefBallistics, 0x03000000); // 3 after reversal
        ASSERT_EQ(setChunk(fx, c), kChunkBytes);
        EXPECT_EQ(fx.plug().getPrefs()->get(kPrefBallistics), 3) << k.name;
        // 0.5f reversed is 0x0000003F, a tiny positive number: Gain is no longer 0.5.
        EXPECT_LT(fx.plug().getParameter(kGain), 1e-30f) << k.name;
        for (int i = 0; i < kNumParams; ++i) {
            float v = fx.plug().getParameter(i);
            EXPECT_FALSE(std::isnan(v)) << k.name << " parameter " << i;
            EXPECT_FALSE(std::signbit(v)) << k.name << " parameter " << i;
        }
    }
}

TEST_F(State, SavedChunksNeverHoldANegativeZero) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, -0.0f);
    fx.plug().setParameter(kPhase, -0.0f);
    Chunk c = getChunk(fx);
    EffectHandle reload;
    ASSERT_EQ(setChunk(reload, c), kChunkBytes);
    EXPECT_EQ(reload.plug().getParameter(kGain), 0.0f);
    EXPECT_EQ(reload.plug().getParameter(kTrim), 0.5f) << "read without reversal";
}

TEST_F(State, ChunkRestoresTrimRangeButNotTheStore) {
    EffectHandle fx;
    Chunk c = getChunk(fx);
    c.setParam(kTrim, 0.0f);
    c.setWord(kPrefBase + kPrefTrimRange, 0);
    c.setWord(kPrefBase + kPrefPanLaw, 2);
    ASSERT_EQ(setChunk(fx, c), kChunkBytes);
    EXPECT_EQ(fx.display(kTrim), "-12.00");
    EXPECT_EQ(fx.plug().getPrefs()->get(kPrefPanLaw), 2);
    EXPECT_EQ(storedPrefs(), std::string("0220000") + '\0');
}

// One word of the preference record, stored (as its character in the stored text) or
// restored (as its chunk word), and what the live record holds after it: the fine and trim
// ranges modulo 3 (negative words by their non-negative remainder), the ballistics by their
// two low bits, every other word within its row or its default.
TEST_F(State, OutOfRangeWordsAreReadByTheirRowsRule) {
    struct Case {
        int word;
        std::int32_t value;
        std::int32_t expected;
    };
    const Case cases[] = {
        {kPrefTrimRange, 4, 1},
        {kPrefTrimRange, 5, 2},
        {kPrefTrimRange, 9, 0},
        {kPrefTrimRange, -1, 2},
        {kPrefTrimRange, -3, 0},
        {kPrefTrimRange, -5, 1},
        {kPrefFineRange, 3, 0},
        {kPrefFineRange, 4, 1},
        {kPrefFineRange, 8, 2},
        {kPrefFineRange, -2, 1},
        {kPrefBallistics, 4, 0},
        {kPrefBallistics, 7, 3},
        {kPrefBallistics, -1, 3},
        {kPrefDefaultMode, 2, 0},
        {kPrefDefaultMode, -1, 0},
        {kPrefDefaultMode, 1, 1},
        {kPrefPanLaw, 3, 0},
        {kPrefPanLaw, -1, 0},
        {kPrefPanLaw, 2, 2},
        {kPrefMuteLamp, 2, 0},
        {kPrefBypassLamp, 9, 0},
        {kPrefBypassLamp, 1, 1},
        // Chunk words only: no character stands for them.
        {kPrefTrimRange, INT32_MIN, 1},
        {kPrefTrimRange, INT32_MAX, 1},
        {kPrefFineRange, INT32_MIN + 1, 2},
        {kPrefBallistics, INT32_MIN, 0},
        {kPrefPanLaw, INT32_MAX, 0},
    };
    const char* trimAtZero[] = {"-12.00", "-24.00", "-36.00"};
    for (const Case& c : cases) {
        SCOPED_TRACE("word " + std::to_string(c.word) + " = " + std::to_string(c.value));
        PrefValues expected = kDefaultPrefs;
        expected.words[c.word] = c.expected;

        useFreshConfigHome();
        EffectHandle restored;
        Chunk chunk = getChunk(restored);
        chunk.setWord(kPrefBase + c.word, c.value);
        ASSERT_EQ(setChunk(restored, chunk), kChunkBytes);
        EXPECT_EQ(restored.plug().getPrefs()->values().words[c.word], c.expected) << "chunk";
        restored.plug().setParameter(kTrim, 0.0f);
        EXPECT_EQ(restored.display(kTrim), trimAtZero[expected.words[kPrefTrimRange]]);

        const std::int64_t character = std::int64_t{'0'} + c.value;
        if (character < 1 || character > 127) continue;
        useFreshConfigHome();
        std::string text = "0220000";
        text[static_cast<std::size_t>(c.word)] = static_cast<char>(character);
        storePrefs(text);
        EffectHandle loaded;
        for (int i = 0; i < kPrefWords; ++i)
            EXPECT_EQ(loaded.plug().getPrefs()->get(i), expected.words[i]) << "store " << i;
        loaded.plug().setParameter(kTrim, 0.0f);
        EXPECT_EQ(loaded.display(kTrim), trimAtZero[expected.words[kPrefTrimRange]]);
    }
}

TEST_F(State, ChunkOfTheOtherBuildIsRefused) {
    EffectHandle fx;
    std::vector<unsigned char> other(kStereo ? 56 : 60, 0);
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(other.size()), other.data()), 0);
}

TEST_F(State, StoredPreferencesAreLoaded) {
    storePrefs("1013211");
    EffectHandle fx;
    PrefValues v = fx.plug().getPrefs()->values();
    const std::int32_t expected[] = {1, 0, 1, 3, 2, 1, 1};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(v.words[i], expected[i]) << i;
    EXPECT_EQ(fx.display(kTrim), "0");
    fx.plug().setParameter(kTrim, 0.0f);
    EXPECT_EQ(fx.display(kTrim), "-24.00");
}

TEST_F(State, MalformedStoredTextsAreReadWordByWord) {
    struct Case {
        std::string stored;
        std::int32_t expected[7];
        std::string storedAfter; // what the store holds after construction
    };
    const Case cases[] = {
        {"9999999", {0, 0, 0, 1, 0, 0, 0}, "9999999"},
        {"1x2/3:5", {1, 0, 2, 3, 0, 0, 0}, "1x2/3:5"}, // 'x' is 72, '/' is -1, ':' is 10
        {"13", {1, 0, 2, 0, 0, 0, 0}, "13"},           // short: missing words take defaults
        {"0123456", {0, 1, 2, 3, 0, 0, 0}, "0123456"},
        {"0133", {0, 1, 0, 3, 0, 0, 0}, "0133"},
    };
    for (const Case& c : cases) {
        useFreshConfigHome();
        storePrefs(c.stored);
        EffectHandle fx;
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(fx.plug().getPrefs()->get(i), c.expected[i]) << c.stored << " word " << i;
        }
        EXPECT_EQ(storedPrefs(), c.storedAfter + '\0') << "a successful load writes nothing";
    }
}

TEST_F(State, TooShortOrMissingValueWritesTheDefaultsBack) {
    storePrefs("", 1); // one byte: the terminator only
    EffectHandle fx;
    EXPECT_EQ(storedPrefs(), std::string("0220000") + '\0');
    useFreshConfigHome();
    storePrefs(std::string(40, '1')); // longer than the 32-byte read
    EffectHandle fx2;
    EXPECT_EQ(fx2.plug().getPrefs()->get(kPrefDefaultMode), 0);
    EXPECT_EQ(storedPrefs(), std::string("0220000") + '\0');
}

TEST_F(State, SaveAndLoadRoundTrip) {
    EffectHandle fx;
    PlugPrefs* prefs = fx.plug().getPrefs();
    prefs->set(kPrefBallistics, 2);
    prefs->set(kPrefMuteLamp, 1);
    prefs->savePrefs();
    EXPECT_EQ(storedPrefs(), std::string("0222010") + '\0');
    prefs->set(kPrefBallistics, 0);
    EXPECT_TRUE(prefs->loadPrefs());
    EXPECT_EQ(prefs->get(kPrefBallistics), 2);
}

// The text writer `w` (0 or 1) stores in its round `round`: every word within its row, the
// two writers' texts never alike (word 0 is the writer).
std::string writtenText(int w, int round) {
    const int words[kPrefWords] = {w, round % 3, (round / 3) % 3, round % 4, 1, 1, 1};
    std::string text;
    for (int word : words)
        text += static_cast<char>('0' + word);
    return text;
}

// Two processes saving at once while a third reads: the store is replaced whole by every
// save, so a reader always finds a text that parses and that one of the writers wrote,
// and no temporary file stays behind.
TEST_F(State, TwoProcessesSavingAtOnceNeverLeaveATornStore) {
    constexpr int kRounds = 500;
    const std::string home = useFreshConfigHome();
    PlugPrefs first;
    first.savePrefs();
    std::set<std::string> written = {"0220000"};
    for (int w = 0; w < 2; ++w)
        for (int round = 0; round < kRounds; ++round)
            written.insert(writtenText(w, round));

    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            PlugPrefs prefs;
            for (int round = 0; round < kRounds; ++round) {
                const std::string text = writtenText(w, round);
                for (int i = 0; i < kPrefWords; ++i)
                    prefs.set(i, text[static_cast<std::size_t>(i)] - '0');
                prefs.savePrefs();
            }
            _exit(0);
        }
    }
    int reads = 0, torn = 0, foreign = 0, rawTorn = 0, running = 2;
    while (running > 0) {
        for (pid_t& writer : writers) {
            int status = 0;
            if (writer > 0 && waitpid(writer, &status, WNOHANG) == writer) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                writer = 0;
                --running;
            }
        }
        ++reads;
        PlugPrefs reader;
        if (!reader.loadPrefs()) ++torn;
        const std::string stored = storedPrefs();
        if (stored.size() != kPrefWords + 1 || !written.count(stored.substr(0, kPrefWords)))
            ++foreign;
        // As a program that reads the file without the store's lock sees it (a backup).
        std::ifstream in(home + "/kavet/registry.txt", std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)), {});
        const std::string line = "\n\"prefdataKavet\"=sz:\"";
        const std::size_t at = raw.find(line);
        if (at == std::string::npos || !written.count(raw.substr(at + line.size(), kPrefWords)) ||
            raw.compare(at + line.size() + kPrefWords, 2, "\"\n") != 0)
            ++rawTorn;
    }
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_EQ(foreign, 0) << "of " << reads << " reads";
    EXPECT_EQ(rawTorn, 0) << "of " << reads << " reads";
    const std::string last = storedPrefs().substr(0, kPrefWords);
    EXPECT_TRUE(last == writtenText(0, kRounds - 1) || last == writtenText(1, kRounds - 1)) << last;
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(home + "/kavet"))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"registry.txt", "registry.txt.lock"}));
}

TEST_F(State, SetProgramRestoresTheStoredValues) {
    EffectHandle fx;
    fx.plug().setParameter(kGain, 0.25f);
    fx.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(fx.plug().getParameter(kGain), 0.25f);
    EXPECT_EQ(fx.display(kGain), "-18.06");
}

} // namespace
} // namespace kavet::test
