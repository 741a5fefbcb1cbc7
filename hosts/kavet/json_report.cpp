#include "json_report.h"

#include "hosts/common/host_error.h"
#include "json_text.h"
#include "param_values.h"
#include "pending_file.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace kavet::cli {

namespace {

// A small writer for one object per line of members: "key": value, separated by commas.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += "{"; }
    void member(const char* key, const std::string& rawValue) {
        out_ += first_ ? "" : ", ";
        first_ = false;
        out_ += jsonString(key) + ": " + rawValue;
    }
    void close() { out_ += "}"; }

private:
    std::string& out_;
    bool first_ = true;
};

std::string boolean(bool value) {
    return value ? "true" : "false";
}

std::string signalFigures(const SignalFigures& figures) {
    std::string out;
    JsonObject o(out);
    const Loudness& l = figures.loudness;
    o.member("integrated_lufs", jsonNumber(l.integrated));
    o.member("loudness_range_lu", jsonNumber(l.range));
    o.member("max_momentary_lufs", jsonNumber(l.maxMomentary));
    o.member("max_short_term_lufs", jsonNumber(l.maxShortTerm));
    o.member("true_peak_dbtp", jsonNumber(l.maxTruePeak()));
    std::string channels = "[";
    for (std::size_t c = 0; c < figures.levels.size(); ++c) {
        std::string channel;
        JsonObject co(channel);
        co.member("peak_db", jsonNumber(figures.levels[c].peakDb()));
        co.member("rms_db", jsonNumber(figures.levels[c].rmsDb()));
        co.member("true_peak_dbtp", jsonNumber(c < l.truePeak.size() ? l.truePeak[c] : -INFINITY));
        co.close();
        channels += (c == 0 ? "" : ", ") + channel;
    }
    o.member("channels", channels + "]");
    o.close();
    return out;
}

std::string settings(const ProcessJob& job, const ProcessResult* result) {
    std::string out;
    JsonObject o(out);
    o.member("plugin", result != nullptr ? jsonString(result->modulePath) : jsonString(job.plugin));
    o.member("block", std::to_string(job.blockSize));
    o.member("double", boolean(job.useDouble));
    std::string parameters;
    JsonObject p(parameters);
    for (const ParamSetting& s : result != nullptr ? result->settings : job.settings)
        p.member(paramName(s.index), jsonNumber(s.normalised));
    p.close();
    o.member("parameters", parameters);
    if (job.normalize) {
        o.member("normalize_lufs", jsonNumber(job.normalize->lufs));
        o.member("true_peak_max_dbtp", jsonNumber(job.normalize->truePeakMax));
    }
    o.close();
    return out;
}

std::string plan(const NormalizePlan& plan) {
    std::string out;
    JsonObject o(out);
    o.member("wanted_gain_db", jsonNumber(plan.wantedDb));
    o.member("applied_gain_db", jsonNumber(plan.appliedDb));
    o.member("gain_value", jsonNumber(plan.gainValue));
    o.member("trim_value", jsonNumber(plan.trimValue));
    o.member("peak_limited", boolean(plan.peakLimited));
    o.member("range_limited", boolean(plan.rangeLimited));
    o.member("shortfall_lu", jsonNumber(plan.shortfallLu()));
    o.close();
    return out;
}

std::string entry(const ReportEntry& e) {
    std::string out;
    JsonObject o(out);
    o.member("input", jsonString(e.job->input));
    o.member("output", jsonString(e.job->output));
    o.member("ok", boolean(e.result != nullptr));
    o.member("settings", settings(*e.job, e.result));
    if (e.result == nullptr) {
        o.member("error", jsonString(e.error));
        o.close();
        return out;
    }
    const ProcessResult& r = *e.result;
    o.member("sample_rate", std::to_string(r.shape.sampleRate));
    o.member("channels", std::to_string(r.shape.channels));
    o.member("frames", std::to_string(r.in.empty() ? 0 : r.in[0].frames));
    o.member("product", jsonString(r.product));
    o.member("instances", std::to_string(r.instances));
    if (r.plan) o.member("normalize", plan(*r.plan));
    o.member("before", signalFigures(r.input));
    o.member("after", signalFigures(r.output));
    o.close();
    return out;
}

} // namespace

std::string jsonReport(const std::vector<ReportEntry>& entries) {
    std::string out = "{\"files\": [\n";
    for (std::size_t i = 0; i < entries.size(); ++i)
        out += "  " + entry(entries[i]) + (i + 1 < entries.size() ? ",\n" : "\n");
    return out + "]}\n";
}

void writeJsonReport(PendingFile& file, const std::vector<ReportEntry>& entries) {
    const std::string text = jsonReport(entries);
    const std::string& path = file.finalPath();
    const int descriptor = file.takeDescriptor();
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int error = errno;
            close(descriptor);
            throw host::HostError("cannot write '" + path + "': " + std::strerror(error));
        }
        done += static_cast<std::size_t>(written);
    }
    if (close(descriptor) != 0)
        throw host::HostError("cannot write '" + path + "': " + std::strerror(errno));
    file.commit();
}

} // namespace kavet::cli
