// A minimal LV2 host on lilv for the benchmarks: the installed plug-ins and any bundle named
// by path, a URI map, and the features plug-ins of the usual kinds ask for (urid:map and
// unmap, options with the sample rate and the block lengths, bounded block length).
// Single-threaded: every call on the benchmark's thread.
#pragma once

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kavet::bench {

class LilvHost {
public:
    // The plug-ins of the system's LV2 path, and the bundle folder `bundlePath` (empty for
    // none). `maxFrames` bounds every block run; `sampleRate` is every instance's rate (Hz).
    LilvHost(const std::string& bundlePath, double sampleRate, int maxFrames);
    ~LilvHost();

    LilvHost(const LilvHost&) = delete;
    LilvHost& operator=(const LilvHost&) = delete;

    // Null when no plug-in of that URI is installed.
    const LilvPlugin* find(const char* uri) const;
    // Empty when this host offers every feature the plug-in requires; else the first missing
    // one's URI.
    std::string missingFeature(const LilvPlugin* plugin) const;

    LilvWorld* world() const { return world_; }
    double sampleRate() const { return sampleRate_; }
    int maxFrames() const { return maxFrames_; }
    const LV2_Feature* const* features() const { return features_.data(); }
    LV2_URID map(const char* uri);

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);
    static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid);

    LilvWorld* world_;
    const double sampleRate_;
    const int maxFrames_;
    std::deque<std::string> uris_; // URID n is uris_[n - 1]; unmap answers stay valid

    LV2_URID_Map map_{this, mapUri};
    LV2_URID_Unmap unmap_{this, unmapUri};
    float rateOption_;
    std::int32_t minBlock_ = 0, maxBlock_, nominalBlock_;
    std::vector<LV2_Options_Option> options_;
    std::vector<LV2_Feature> featureList_;
    std::vector<const LV2_Feature*> features_; // null-terminated
};

} // namespace kavet::bench
