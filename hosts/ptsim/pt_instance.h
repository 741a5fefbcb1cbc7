// One plug-in instance inserted by the simulated host: created through the routine table
// with the session's sample rate, rendered block by block, its controls moved as the host
// moves them (edits, automation, the bypass button), its meters read, its chunks saved and
// restored. The host's callbacks are recorded as events for inspection.
#pragma once

#include "pt_module.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kavet::ptsim {

struct HostEvent {
    enum Kind { Changed, Touched, Released } kind;
    std::int32_t index;
    std::int32_t value; // Changed only
};

struct SavedChunk {
    std::uint32_t id;
    std::vector<unsigned char> record; // header and data, fSize bytes
};

struct MeterReport {
    std::vector<std::int32_t> values;
    std::vector<char> clips;
};

class PtInstance {
public:
    // inputs/outputs < 0: the type's stem formats. Throws HostError.
    PtInstance(const PtModule& module, int typeIndex, std::int32_t sampleRate, int inputs = -1,
               int outputs = -1);
    ~PtInstance();
    PtInstance(const PtInstance&) = delete;
    PtInstance& operator=(const PtInstance&) = delete;

    PtProcess* handle() const { return process_; }
    const PtRoutineTable& routines() const { return table_; }

    void setSampleRate(std::int32_t rate);
    std::int32_t sampleRate() const;
    void setChannelCounts(int inputs, int outputs);
    // Rendering starts from a stop: the algorithm takes its settings without a glide.
    void resetAlgorithm();

    // Audio.
    void render(float** inputs, float** outputs, int frames);
    // Renders whole channels in blocks of at most `block` frames (in place allowed).
    void renderChannels(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                        int block);
    MeterReport meters();
    bool clipIndicator() const;

    // Controls (1-based).
    int controlCount() const;
    PtControlInfo controlInfo(int index) const;
    std::int32_t controlValue(int index) const;
    std::int32_t setControl(int index, std::int32_t value); // host edit; answers the status
    std::string controlText(int index, std::int32_t value) const;
    int bypassIndex() const;
    void pressBypass(bool on);
    bool bypassed() const;

    // Chunks.
    std::vector<PtChunkInfo> chunkInfos() const;
    SavedChunk saveChunk(std::uint32_t id) const;
    std::vector<SavedChunk> saveAllChunks() const;
    std::int32_t restoreChunk(const SavedChunk& chunk);
    std::int32_t restoreRecord(std::uint32_t id, const void* record, std::uint32_t bytes);

    // The host callbacks so far.
    const std::vector<HostEvent>& events() const { return events_; }
    void clearEvents() { events_.clear(); }

private:
    static void onChanged(void* context, PtProcess*, std::int32_t index, std::int32_t value);
    static void onTouched(void* context, PtProcess*, std::int32_t index);
    static void onReleased(void* context, PtProcess*, std::int32_t index);
    void check(std::int32_t status, const std::string& what) const;

    const PtRoutineTable& table_;
    PtProcess* process_ = nullptr;
    PtHostCallbacks callbacks_{};
    std::vector<HostEvent> events_;
};

} // namespace kavet::ptsim
