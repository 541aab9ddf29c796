#include "ConversionWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/host/CivilTime.h"
#include "tools/host/ConvertedFiles.h"
#include "tools/host/ExerciseHeaders.h"
#include "tools/host/ExerciseTrack.h"
#include "tools/host/TextRules.h"
#include "tools/host/TimeZone.h"

namespace {

namespace fs = std::filesystem;

struct FormatEntry {
    const char* extension;
    void (*write)(const ExerciseTrack&, std::ostream&);
};

FormatEntry formatEntry(ConversionFormat format) {
    switch (format) {
        case ConversionFormat::Gpx: return {".gpx", &writeGpx};
        case ConversionFormat::Fit: return {".fit", &writeFit};
        case ConversionFormat::Svg: return {".svg", &writeSvg};
        case ConversionFormat::Tcx: break;
    }
    return {".tcx", &writeTcx};
}

// As the plug-in decides: a name ending in ".hrm", in any case, is one
// exercise; every other name an archive.
bool isArchiveName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension != ".hrm";
}

// Writes through `write` into `path`, by way of a temporary name beside it
// that is removed again when anything fails.
template <typename Write>
void writeFileAtomically(const fs::path& path, Write write) {
    fs::path partial = path;
    partial += ".part";
    std::error_code failed;
    const auto fail = [&](const std::string& what) {
        fs::remove(partial, failed);
        throw OutputError(what);
    };
    try {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) fail("cannot create " + partial.string() + ": " + std::strerror(errno));
        write(out);
        out.close();
        if (!out) fail("cannot write " + partial.string() + ": " + std::strerror(errno));
    } catch (const OutputError&) {
        throw;
    } catch (const std::exception& error) {
        fail("cannot write " + partial.string() + ": " + error.what());
    }
    fs::rename(partial, path, failed);
    if (failed) fail("cannot rename " + partial.string() + " to " + path.string() + ": " + failed.message());
}

class ConversionWriter : public ReportWriter {
public:
    ConversionWriter(const ConversionOptions& options, std::ostream& written, std::ostream& messages)
        : options_(options), format_(formatEntry(options.format)), written_(written), messages_(messages) {}

    void beginFile(const std::string& path, const std::string& fullPath, int32_t) override {
        shownPath_ = path;
        const fs::path name = fs::path(path).filename();
        archive_ = isArchiveName(name);
        stem_ = name.stem().string();
        rawName_ = options_.utf8Names ? name.string() : latin1ToUtf8(name.string());
        headers_.emplace(fullPath, archive_);
    }

    void exercise(const ExerciseReport& report) override {
        const std::string label = shownPath_ + (archive_ ? ", exercise " + std::to_string(report.index) : "");
        if (report.sampleCount <= 0 || !report.summary) {
            // A single file's lack of samples is the whole file's outcome, reported as such.
            if (archive_) messages_ << "polarhost: " << label << ": no samples, no file written\n";
            return;
        }
        std::optional<RecordingFacts> facts = headers_->factsFor(*report.summary);
        if (!facts) {
            messages_ << "polarhost: " << label
                      << ": cannot read the exercise's header; taken as metric with every channel recorded\n";
            facts.emplace();
        }
        const ExerciseTrack track(report, *facts, origin(report, label));
        std::string name = stem_;
        if (archive_) name.append("-").append(std::to_string(report.index));
        name += format_.extension;
        const fs::path path = fs::path(options_.outputDirectory) / name;
        writeFileAtomically(path, [&](std::ostream& out) { format_.write(track, out); });
        written_ << path.string() << '\n';
    }

    void endFile() override { headers_.reset(); }
    void finish() override { written_ << std::flush; }

private:
    TrackOrigin origin(const ExerciseReport& report, const std::string& label) const {
        TrackOrigin origin;
        origin.rawFile = rawName_;
        origin.exerciseIndex = report.index;
        origin.archive = archive_;
        if (options_.utcOffset) {
            origin.utcOffset = *options_.utcOffset;
            origin.offsetSource = TrackOrigin::OffsetSource::Option;
        } else if (const std::optional<int32_t> machine =
                       machineUtcOffset(wallClockSeconds(report.summary->StartDateTime))) {
            origin.utcOffset = *machine;
        } else {
            messages_ << "polarhost: " << label
                      << ": the machine's time zone gives no offset for the start; UTC taken\n";
            origin.offsetSource = TrackOrigin::OffsetSource::Unknown;
        }
        return origin;
    }

    const ConversionOptions options_;
    const FormatEntry format_;
    std::ostream& written_;
    std::ostream& messages_;
    std::string shownPath_, stem_, rawName_;
    bool archive_ = false;
    std::optional<ExerciseHeaders> headers_;
};

}  // namespace

std::unique_ptr<ReportWriter> makeConversionWriter(const ConversionOptions& options, std::ostream& written,
                                                   std::ostream& messages) {
    return std::make_unique<ConversionWriter>(options, written, messages);
}
