// The user's preferences: seven single-digit words, stored in the registry for the current
// user (value "prefdataKavet" under "SOFTWARE\Velmorant", seven digit characters) and carried
// in the state chunk.
#pragma once

#include <atomic>
#include <cstdint>

namespace kavet {

enum PrefWord : int {
    kPrefDefaultMode = 0, // 0 Normal, 1 Fine
    kPrefFineRange = 1,   // 0 ±6 dB, 1 ±12 dB, 2 ±18 dB
    kPrefTrimRange = 2,   // 0 ±12 dB, 1 ±24 dB, 2 ±36 dB
    kPrefBallistics = 3,  // 0 Digital PPM, 1 PPM, 2 VU, 3 BBC
    kPrefPanLaw = 4,      // 0 for 0 dB, 1 for −3 dB, 2 for −6 dB
    kPrefMuteLamp = 5,    // 0 Flash LED, 1 Steady LED
    kPrefBypassLamp = 6,  // 0 Flash LED, 1 Steady LED
};

inline constexpr int kPrefWords = 7;

// Registry location of the stored preferences.
inline constexpr const char* kPrefsKey = "SOFTWARE\\Velmorant";
inline constexpr const char* kPrefsValue = "prefdataKavet";

// The words as plain integers, e.g. for the chunk or for the options page's copies.
struct PrefValues {
    std::int32_t words[kPrefWords];
};

inline constexpr PrefValues kDefaultPrefs = {{0, 2, 2, 0, 0, 0, 0}};

// Highest valid value of each word.
inline constexpr std::int32_t kPrefMax[kPrefWords] = {1, 2, 2, 3, 2, 1, 1};

// A word brought within its row's range, as every reader of a stored or restored word
// takes it: the fine and trim ranges modulo 3 (a negative word by its non-negative
// remainder), the ballistics by their two low bits; any other word outside 0..max takes the
// row's default. `word` must be 0 to 6 (a broken contract answers 0). [any thread]
std::int32_t sanitizePrefWord(int word, std::int32_t value);

// The live preference record. Written on the [UI thread] (options page, chunk loads) and
// read by the target computation on [any thread]: every word is a single atomic 32-bit
// store.
class PlugPrefs {
public:
    PlugPrefs() { set(kDefaultPrefs); }

    // [any thread]
    std::int32_t get(int word) const { return words_[word].load(std::memory_order_relaxed); }
    // [UI thread] (the only writer)
    void set(int word, std::int32_t value) { words_[word].store(value, std::memory_order_relaxed); }

    PrefValues values() const;          // [any thread]
    void set(const PrefValues& values); // [UI thread]

    // Reads the stored preferences. Fails, leaving the record unchanged, when the key or
    // value is missing or holds fewer than 2 bytes; otherwise each word comes from its
    // character (the character code minus that of 0), brought within range by
    // sanitizePrefWord. [UI thread]
    [[nodiscard]] bool loadPrefs();

    // Stores the seven words as digit characters (REG_SZ, 8 bytes with the terminator).
    // A failed write leaves the stored value as it was and is not reported. [UI thread]
    void savePrefs() const;

    // Defaults, then the stored preferences; on a failed load the defaults are stored.
    // [UI thread]
    void initFromStore();

private:
    std::atomic<std::int32_t> words_[kPrefWords];
};

} // namespace kavet
