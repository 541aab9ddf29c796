#include "tools/host/report/ReportWriters.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>

#include "tools/host/recording/RecordedSport.h"
#include "tools/host/recording/TextEncoding.h"
#include "tools/host/report/RecordFields.h"
#include "tools/host/report/TextRules.h"
#include "tools/host/time/CivilTime.h"

namespace {

// The diary's entry as JSON, its texts (UTF-8) as \u escapes.
std::string jsonDiary(const DiaryLink& link) {
    const DiaryExercise& e = link.entry;
    const auto number = [](const std::optional<int32_t>& value) {
        return value ? std::to_string(*value) : std::string("null");
    };
    return "{\"file\":" + jsonUtf8String(link.diary) + ",\"section\":" + std::to_string(e.section) +
           ",\"name\":" + jsonUtf8String(e.name) + ",\"note\":" + jsonUtf8String(e.note) +
           ",\"sport\":" + number(e.sport) + ",\"energy\":" + number(e.energy) + "}";
}

std::string jsonValue(int64_t value) { return std::to_string(value); }
std::string jsonValue(double value) { return std::isfinite(value) ? numberText(value) : "null"; }

template <typename Record>
std::string jsonObject(const Record& record) {
    std::string out = "{";
    forEachField(record, [&](const char* name, auto value) {
        if (out.size() > 1) out += ',';
        out += '"';
        out += name;
        out += "\":";
        out += jsonValue(value);
    });
    out += '}';
    return out;
}

// `record(i)` gives record i of `count`.
template <typename Record>
void writeJsonArray(std::ostream& out, int32_t count, Record record) {
    out << '[';
    for (int32_t i = 0; i < count; ++i) out << (i ? ",\n" : "\n") << jsonObject(record(i));
    out << ']';
}

class JsonWriter : public ReportWriter {
public:
    JsonWriter(std::ostream& out, const SportRule& sports) : out_(out), sports_(sports) {
        out_ << "{\"files\":[";
    }

    void beginFile(const std::string& path, int32_t) override {
        out_ << (files_++ ? ",\n" : "\n") << "{\"file\":" << jsonString(path) << ",\"exercises\":[";
        exercises_ = 0;
    }

    void exercise(const ExerciseReport& report) override {
        out_ << (exercises_++ ? ",\n" : "\n") << "{\"index\":" << report.index
             << ",\"sampleCount\":" << report.sampleCount << ",\"sport\":"
             << (report.sampleCount > 0 ? jsonString(sportName(exerciseSport(report, sports_).sport)) : "null")
             << ",\"note\":" << jsonString(report.note);
        if (report.diary) out_ << ",\"diary\":" << jsonDiary(*report.diary);
        out_
             << ",\"summary\":" << (report.summary ? jsonObject(*report.summary) : std::string("null"))
             << ",\n\"laps\":";
        writeJsonArray(out_, static_cast<int32_t>(report.laps.size()),
                       [&](int32_t k) { return report.laps[static_cast<size_t>(k)]; });
        out_ << ",\n\"samples\":";
        writeJsonArray(out_, report.samples.count(), [&](int32_t j) { return report.samples[j]; });
        out_ << '}';
    }

    void endFile(const std::vector<ExerciseHeader>&) override { out_ << "]}"; }
    void finish() override { out_ << "]}\n" << std::flush; }

private:
    std::ostream& out_;
    const SportRule sports_;
    int files_ = 0;
    int exercises_ = 0;
};

class CsvWriter : public ReportWriter {
public:
    CsvWriter(std::ostream& out, const SportRule& sports) : out_(out), sports_(sports) {
        out_ << "file,index,sport";
        forEachField(SampleRecord{}, [&](const char* name, auto) { out_ << ',' << name; });
        out_ << '\n';
    }

    void beginFile(const std::string& path, int32_t) override { file_ = csvField(path); }

    void exercise(const ExerciseReport& report) override {
        std::string row;
        const std::string sport = sportName(exerciseSport(report, sports_).sport);
        for (int32_t j = 0; j < report.samples.count(); ++j) {
            const SampleRecord sample = report.samples[j];
            row = file_ + ',' + std::to_string(report.index) + ',' + sport;
            forEachField(sample, [&](const char*, auto value) {
                row += ',';
                if constexpr (std::is_same_v<decltype(value), double>)
                    row += numberText(value);
                else
                    row += std::to_string(value);
            });
            row += '\n';
            out_ << row;
        }
    }

    void endFile(const std::vector<ExerciseHeader>&) override {}
    void finish() override { out_ << std::flush; }

private:
    std::ostream& out_;
    const SportRule sports_;
    std::string file_;
};

std::string format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// Seconds with tenths as h:mm:ss.t.
std::string splitText(double seconds) {
    if (!std::isfinite(seconds)) return numberText(seconds);
    const double tenths = std::round(seconds * 10);
    return durationText(static_cast<int64_t>(tenths / 10)) +
           format(".%d", static_cast<int>(std::fmod(std::fabs(tenths), 10.0)));
}

class TableWriter : public ReportWriter {
public:
    TableWriter(std::ostream& out, bool utf8Text, const SportRule& sports)
        : out_(out), utf8Text_(utf8Text), sports_(sports) {}

    void beginFile(const std::string& path, int32_t exerciseCount) override {
        out_ << (files_++ ? "\n" : "") << path << ": ";
        if (exerciseCount == 0)
            out_ << "no exercise\n";
        else
            out_ << exerciseCount << (exerciseCount == 1 ? " exercise\n" : " exercises\n");
    }

    void exercise(const ExerciseReport& report) override {
        out_ << "\nExercise " << report.index << ": ";
        if (report.sampleCount <= 0) {
            out_ << "no samples\n";
            return;
        }
        out_ << report.sampleCount << " samples, " << report.laps.size() << " laps\n";
        if (report.summary) writeSummary(*report.summary);
        row("Sport", sportName(exerciseSport(report, sports_).sport));
        writeNote(report.note);
        if (report.diary) writeDiary(*report.diary);
        writeLaps(report.laps);
        writeSamples(report.samples);
    }

    void endFile(const std::vector<ExerciseHeader>&) override {}
    void finish() override { out_ << std::flush; }

private:
    void row(const char* label, const std::string& value) { out_ << format("  %-10s ", label) << value << '\n'; }

    void writeSummary(const ExerciseSummary& s) {
        row("Start", dateTimeText(s.StartDateTime));
        row("End", dateTimeText(s.EndDateTime));
        row("Duration", durationText(s.DurationSec));
        row("Distance", format("%.3f km", double{s.TotalDistance}));
        row("Interval", format("%u s", unsigned{s.IntervalSec}));
        row("Monitor", std::to_string(s.MonitorType));
        row("Max HR", s.MaxHR ? std::to_string(s.MaxHR) : std::string("-"));
        row("VO2max", std::to_string(s.VO2max));
        row("Trip", format("max speed %d, avg speed %d, max altitude %s, ascent %d", int{s.TripMaxSpeed},
                           int{s.TripAvgSpeed}, numberText(s.TripMaxAltitude).c_str(), int{s.TripAscent}));
    }

    void writeNote(const std::string& note) {
        if (note.empty()) return;
        const char* label = "Note";
        size_t start = 0;
        while (start <= note.size()) {
            size_t end = note.find("\r\n", start);
            if (end == std::string::npos) end = note.size();
            const std::string line = note.substr(start, end - start);
            row(label, utf8Text_ ? toUtf8(line, CodePage::latin1) : line);
            label = "";
            start = end + 2;
        }
    }

    // The diary's texts are UTF-8 already.
    void writeDiary(const DiaryLink& link) {
        const DiaryExercise& e = link.entry;
        row("Diary", link.diary + ", exercise " + std::to_string(e.section) +
                         (e.sport ? ", sport " + std::to_string(*e.sport) : std::string()));
        if (!e.name.empty()) row("Name", e.name);
        if (!e.note.empty()) row("Diary note", e.note);
        if (e.energy) row("Energy", std::to_string(*e.energy) + " kcal");
    }

    void writeLaps(const std::vector<LapRecord>& laps) {
        if (laps.empty()) return;
        out_ << "\n  Lap  End of day  Duration    Split       Max HR  Avg HR  Speed  Cadence  Temp  Power  Ascent\n";
        for (size_t k = 0; k < laps.size(); ++k) {
            const LapRecord& l = laps[k];
            out_ << format("  %3zu  %-10s  %-10s  %-10s  %6u  %6u  %5.1f  %7u  %4.1f  %5.0f  %6.0f\n", k + 1,
                           durationText(l.LapEndOfDay).c_str(), splitText(l.LapDuration).c_str(),
                           splitText(l.LapSplit).c_str(), unsigned{l.LapMaxHR}, unsigned{l.LapAvgHR},
                           double{l.LapSpeed}, unsigned{l.LapCadence}, l.LapTemperature / 10, double{l.LapPower},
                           double{l.LapAscent});
        }
    }

    void writeSample(int32_t j, const SampleRecord& r) {
        out_ << format("  %6d  %8s  %3u  %5.1f  %8.3f  %8.0f  %7u  %5.0f  %7.0f  %5.1f  %10.6f  %11.6f\n", j,
                       durationText(r.TimeOffset).c_str(), unsigned{r.HR}, double{r.Speed}, double{r.Distance},
                       double{r.Altitude}, unsigned{r.Cadence}, double{r.Power}, double{r.Balance},
                       double{r.Temperature}, double{r.Latitude}, double{r.Longitude});
    }

    void writeSamples(const SampleReader& samples) {
        constexpr int32_t kShown = 5;
        out_ << "\n  Sample      Time   HR  Speed  Distance  Altitude  Cadence  Power  Balance  Temp    Latitude"
                "    Longitude\n";
        const int32_t n = samples.count();
        for (int32_t j = 0; j < n; ++j) {
            if (n > 2 * kShown && j == kShown) {
                out_ << "     ...\n";
                j = n - kShown;
            }
            writeSample(j, samples[j]);
        }
    }

    std::ostream& out_;
    const bool utf8Text_;
    const SportRule sports_;
    int files_ = 0;
};

}  // namespace

std::unique_ptr<ReportWriter> makeReportWriter(ReportFormat format, std::ostream& out, bool utf8Text,
                                               const SportRule& sports) {
    switch (format) {
        case ReportFormat::Csv: return std::make_unique<CsvWriter>(out, sports);
        case ReportFormat::Json: return std::make_unique<JsonWriter>(out, sports);
        case ReportFormat::Table: break;
    }
    return std::make_unique<TableWriter>(out, utf8Text, sports);
}
