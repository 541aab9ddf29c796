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
    return {{"", facts, {}}};
}

// An entry's name to show: a control character could drive the terminal.
std::string shownName(std::string name) {
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = '?';
    return name;
}

// The entries the plug-in analyses: those it extracts whose names end in ".hrm".
std::vector<ExerciseHeader> archiveHeaders(const std::string& path, std::vector<ExerciseHeader>* refused) {
    std::vector<ExerciseHeader> headers;
    std::vector<std::string> refusedNames;
    for (const fw::ZipEntryHead& head :
         fw::readZipEntryHeads(path, std::string(hrm::kHRDataSection), kHeaderLimit, &refusedNames))
        if (fw::wildcardMatch(head.name, "*.hrm")) headers.push_back({head.name, readRecordingFacts(head.bytes), {}});
    if (refused)
        for (const std::string& name : refusedNames)
            refused->push_back({shownName(name), {},
                                fw::isSafeEntryName(name)
                                    ? "not read: stored in a folder inside the archive, and only the entries at its "
                                      "top are read"
                                    : "not read: its name would lead out of the folder it is extracted to, or to a "
                                      "device (a \"..\", an absolute path, a drive letter, a control character or "
                                      "a device name)"});
    return headers;
}

}  // namespace

std::vector<ExerciseHeader> readExerciseHeaders(const std::string& rawFile, bool archive,
                                                std::vector<ExerciseHeader>* refused) {
    return archive ? archiveHeaders(rawFile, refused) : fileHeader(rawFile);
}

std::string readExerciseText(const std::string& rawFile, const ExerciseHeader& header, size_t maxBytes) {
    if (!header.entry.empty()) return fw::readZipEntry(rawFile, header.entry, maxBytes).value_or(std::string());
    std::ifstream file(rawFile, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(file), {});
    if (text.size() > maxBytes) text.resize(maxBytes);
    return text;
}

ExerciseHeaders::ExerciseHeaders(const std::string& rawFile, bool archive)
    : archive_(archive),
      headers_(readExerciseHeaders(rawFile, archive, &refused_)),
      claimed_(headers_.size(), false) {}

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
    left.insert(left.end(), refused_.begin(), refused_.end());
    return left;
}
