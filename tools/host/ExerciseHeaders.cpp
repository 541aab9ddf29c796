#include "ExerciseHeaders.h"

#include <fstream>

#include "framework/FileSystem.h"
#include "framework/Zip.h"

namespace {

// The header ends where the samples begin; a header longer than this is
// no exercise file's.
constexpr size_t kHeaderLimit = 1 << 20;
constexpr char kSamplesSection[] = "[HRData]";

std::vector<RecordingFacts> fileHeader(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::string header, line;
    while (header.size() < kHeaderLimit && std::getline(file, line)) {
        header += line + '\n';
        if (line.rfind(kSamplesSection, 0) == 0) break;
    }
    return {readRecordingFacts(header)};
}

// The entries the plug-in analyses: those it extracts whose names end in ".hrm".
std::vector<RecordingFacts> archiveHeaders(const std::string& path) {
    std::vector<RecordingFacts> headers;
    for (const fw::ZipEntryHead& head : fw::readZipEntryHeads(path, kSamplesSection, kHeaderLimit))
        if (fw::wildcardMatch(head.name, "*.hrm")) headers.push_back(readRecordingFacts(head.bytes));
    return headers;
}

}  // namespace

ExerciseHeaders::ExerciseHeaders(const std::string& rawFile, bool archive)
    : archive_(archive), headers_(archive ? archiveHeaders(rawFile) : fileHeader(rawFile)) {}

std::optional<RecordingFacts> ExerciseHeaders::factsFor(const ExerciseSummary& summary) const {
    if (!archive_) {
        if (headers_.empty()) return std::nullopt;
        return headers_.front();
    }
    for (const RecordingFacts& facts : headers_)
        if (describesExercise(facts, summary)) return facts;
    return std::nullopt;
}
