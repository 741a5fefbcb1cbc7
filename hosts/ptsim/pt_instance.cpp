#include "pt_instance.h"

#include "hosts/common/host_error.h"

#include <algorithm>
#include <cstring>

namespace kavet::ptsim {

using host::HostError;

PtInstance::PtInstance(const PtModule& module, int typeIndex, std::int32_t sampleRate, int inputs,
                       int outputs)
    : table_(module.routines()) {
    callbacks_ = {this, &PtInstance::onChanged, &PtInstance::onTouched, &PtInstance::onReleased};
    const PtProcessSetup setup{sampleRate, inputs, outputs, &callbacks_};
    check(table_.newProcess(typeIndex, &setup, &process_), "insert an instance");
}

PtInstance::~PtInstance() {
    table_.deleteProcess(process_);
}

void PtInstance::check(std::int32_t status, const std::string& what) const {
    if (status < 0) throw HostError("cannot " + what + ": status " + std::to_string(status));
}

void PtInstance::onChanged(void* context, PtProcess*, std::int32_t index, std::int32_t value) {
    static_cast<PtInstance*>(context)->events_.push_back({HostEvent::Changed, index, value});
}

void PtInstance::onTouched(void* context, PtProcess*, std::int32_t index) {
    static_cast<PtInstance*>(context)->events_.push_back({HostEvent::Touched, index, 0});
}

void PtInstance::onReleased(void* context, PtProcess*, std::int32_t index) {
    static_cast<PtInstance*>(context)->events_.push_back({HostEvent::Released, index, 0});
}

void PtInstance::setSampleRate(std::int32_t rate) {
    check(table_.setSampleRate(process_, rate), "set the sample rate");
}

std::int32_t PtInstance::sampleRate() const {
    std::int32_t rate = 0;
    check(table_.getSampleRate(process_, &rate), "read the sample rate");
    return rate;
}

void PtInstance::setChannelCounts(int inputs, int outputs) {
    check(table_.setChannelCounts(process_, inputs, outputs), "connect the channels");
}

void PtInstance::resetAlgorithm() {
    check(table_.resetAlgorithm(process_), "reset the algorithm");
}

void PtInstance::render(float** inputs, float** outputs, int frames) {
    table_.render(process_, inputs, outputs, frames);
}

void PtInstance::renderChannels(std::vector<std::vector<float>>& in,
                                std::vector<std::vector<float>>& out, int block) {
    const std::size_t length = in.empty() ? 0 : in[0].size();
    std::vector<float*> inputs(in.size()), outputs(out.size());
    for (std::size_t at = 0; at < length; at += static_cast<std::size_t>(block)) {
        const int frames = static_cast<int>(std::min<std::size_t>(block, length - at));
        for (std::size_t c = 0; c < in.size(); ++c)
            inputs[c] = in[c].data() + at;
        for (std::size_t c = 0; c < out.size(); ++c)
            outputs[c] = out[c].data() + at;
        render(inputs.data(), outputs.data(), frames);
    }
}

MeterReport PtInstance::meters() {
    MeterReport report;
    report.values.assign(PT_METER_CHANNELS, 0x5a5a5a5a);
    report.clips.assign(PT_METER_CHANNELS, 0x5a);
    const std::int32_t n =
        table_.getMeters(process_, report.values.data(), report.clips.data(), PT_METER_CHANNELS);
    check(n, "read the meters");
    report.values.resize(static_cast<std::size_t>(n));
    report.clips.resize(static_cast<std::size_t>(n));
    return report;
}

bool PtInstance::clipIndicator() const {
    return table_.getClipIndicator(process_) != 0;
}

int PtInstance::controlCount() const {
    const std::int32_t n = table_.getControlCount(process_);
    check(n, "count the controls");
    return n;
}

PtControlInfo PtInstance::controlInfo(int index) const {
    PtControlInfo info;
    check(table_.getControlInfo(process_, index, &info),
          "describe control " + std::to_string(index));
    return info;
}

std::int32_t PtInstance::controlValue(int index) const {
    std::int32_t value = 0;
    check(table_.getControlValue(process_, index, &value), "read control " + std::to_string(index));
    return value;
}

std::int32_t PtInstance::setControl(int index, std::int32_t value) {
    return table_.setControlValue(process_, index, value);
}

std::string PtInstance::controlText(int index, std::int32_t value) const {
    char text[64];
    check(table_.getControlText(process_, index, value, text, sizeof text),
          "show control " + std::to_string(index));
    return text;
}

int PtInstance::bypassIndex() const {
    return table_.getMasterBypassIndex(process_);
}

void PtInstance::pressBypass(bool on) {
    check(table_.setBypass(process_, on ? 1 : 0), "press the bypass button");
}

bool PtInstance::bypassed() const {
    return table_.getBypass(process_) == 1;
}

std::vector<PtChunkInfo> PtInstance::chunkInfos() const {
    std::vector<PtChunkInfo> out;
    const std::int32_t n = table_.getChunkCount(process_);
    check(n, "count the chunks");
    for (std::int32_t i = 0; i < n; ++i) {
        PtChunkInfo info;
        check(table_.getChunkInfo(process_, i, &info), "describe a chunk");
        out.push_back(info);
    }
    return out;
}

SavedChunk PtInstance::saveChunk(std::uint32_t id) const {
    for (const PtChunkInfo& info : chunkInfos()) {
        if (info.id != id) continue;
        // The record is sized from the registered size, as the host does.
        std::vector<unsigned char> record(ptfw::kChunkHeaderBytes + info.dataBytes);
        check(
            table_.getChunk(process_, id, record.data(), static_cast<std::uint32_t>(record.size())),
            "save chunk '" + fourCC(id) + "'");
        std::int32_t size;
        std::memcpy(&size, record.data(), sizeof size);
        record.resize(static_cast<std::size_t>(size));
        return {id, record};
    }
    throw HostError("no chunk '" + fourCC(id) + "'");
}

std::vector<SavedChunk> PtInstance::saveAllChunks() const {
    std::vector<SavedChunk> out;
    for (const PtChunkInfo& info : chunkInfos())
        out.push_back(saveChunk(info.id));
    return out;
}

std::int32_t PtInstance::restoreChunk(const SavedChunk& chunk) {
    return restoreRecord(chunk.id, chunk.record.data(),
                         static_cast<std::uint32_t>(chunk.record.size()));
}

std::int32_t PtInstance::restoreRecord(std::uint32_t id, const void* record, std::uint32_t bytes) {
    return table_.setChunk(process_, id, record, bytes);
}

} // namespace kavet::ptsim
