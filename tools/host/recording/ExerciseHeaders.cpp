#include "tools/host/recording/ExerciseHeaders.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "framework/FileSystem.h"
#include "framework/Zip.h"
#include "model/HrmFormat.h"

namespace {

// The header ends where the samples begin; a header longer than this is
// no exercise file's.
constexpr size_t kHeaderLimit = 1 << 20;
constexpr std::streamoff kTailBytes = 4096;

std::vector<ExerciseHeader> fileHeader(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::string header, line;
    while (header.size() < kHeaderLimit && std::getline(file, line)) {
        header += line + '\n';
        if (line.rfind(hrm::kHRDataSection, 0) == 0) break;
    }
    RecordingFacts facts = readRecordingFacts(header);
    // A sample row is far shorter than this.
    file.clear();
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    const std::streamoff tailSize = std::min<std::streamoff>(size, kTailBytes);
    std::string tail(static_cast<size_t>(tailSize), '\0');
    file.seekg(size - tailSize);
    if (file.read(tail.data(), tailSize)) readLastRow(tail, facts);
    return {{"", facts}};
}

// The entries the plug-in analyses: those it extracts whose names end in ".hrm".
std::vector<ExerciseHeader> archiveHeaders(const std::string& path) {
    std::vector<ExerciseHeader> headers;
    for (const fw::ZipEntryHead& head : fw::readZipEntryHeads(path, std::string(hrm::kHRDataSection), kHeaderLimit))
        if (fw::wildcardMatch(head.name, "*.hrm")) headers.push_back({head.name, readRecordingFacts(head.bytes)});
    return headers;
}

}  // namespace

std::vector<ExerciseHeader> readExerciseHeaders(const std::string& rawFile, bool archive) {
    return archive ? archiveHeaders(rawFile) : fileHeader(rawFile);
}

std::string readExerciseText(const std::string& rawFile, const ExerciseHeader& header, size_t maxBytes) {
    if (!header.entry.empty()) return fw::readZipEntry(rawFile, header.entry, maxBytes).value_or(std::string());
    std::ifstream file(rawFile, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(file), {});
    if (text.size() > maxBytes) text.resize(maxBytes);
    return text;
}

ExerciseHeaders::ExerciseHeaders(const std::string& rawFile, bool archive)
    : archive_(archive), headers_(readExerciseHeaders(rawFile, archive)), claimed_(headers_.size(), false) {}

const ExerciseHeader* ExerciseHeaders::headerFor(const ExerciseSummary& summary) {
    if (!archive_) {
        if (headers_.empty()) return nullptr;
        claimed_.front() = true;
        return &headers_.front();
    }
    for (size_t k = 0; k < headers_.size(); ++k)
        if (!claimed_[k] && describesExercise(headers_[k].facts, summary)) {
            claimed_[k] = true;
            return &headers_[k];
        }
    return nullptr;
}

std::vector<ExerciseHeader> ExerciseHeaders::unclaimed() const {
    std::vector<ExerciseHeader> left;
    for (size_t k = 0; k < headers_.size(); ++k)
        if (!claimed_[k]) left.push_back(headers_[k]);
    return left;
}
