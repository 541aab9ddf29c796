#include "ExerciseHeaders.h"

#include <unzip.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "framework/FileSystem.h"
#include "framework/Zip.h"

namespace {

// The header ends where the samples begin; a header longer than this is
// no exercise file's.
constexpr size_t kHeaderLimit = 1 << 20;
constexpr size_t kChunk = 16 * 1024;

// Appends `read` chunks until "[HRData]" or the limit.
template <typename Read>
std::string readHeader(Read read) {
    std::string text;
    char buffer[kChunk];
    while (text.size() < kHeaderLimit) {
        const int got = read(buffer, static_cast<unsigned>(sizeof buffer));
        if (got <= 0) break;
        const size_t searchFrom = text.size() < 8 ? 0 : text.size() - 8;
        text.append(buffer, static_cast<size_t>(got));
        if (text.find("[HRData]", searchFrom) != std::string::npos) break;
    }
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct UnzCloser {
    void operator()(void* handle) const { unzClose(handle); }
};

std::vector<RecordingFacts> fileHeader(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return {};
    return {readRecordingFacts(readHeader(
        [&](char* buffer, unsigned size) { return static_cast<int>(std::fread(buffer, 1, size, file.get())); }))};
}

// Entries the plug-in could analyse: bare, safe names ending in ".hrm".
bool isExerciseEntry(const std::string& name) {
    return fw::isSafeEntryName(name) && name.find_first_of("/\\") == std::string::npos &&
           fw::wildcardMatch(name, "*.hrm");
}

std::vector<RecordingFacts> archiveHeaders(const std::string& path) {
    std::unique_ptr<void, UnzCloser> archive(unzOpen64(path.c_str()));
    std::vector<RecordingFacts> headers;
    if (!archive) return headers;
    for (int status = unzGoToFirstFile(archive.get()); status == UNZ_OK; status = unzGoToNextFile(archive.get())) {
        char name[1024];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive.get(), &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            info.size_filename >= sizeof name || std::strlen(name) != info.size_filename || !isExerciseEntry(name) ||
            unzOpenCurrentFile(archive.get()) != UNZ_OK)
            continue;
        headers.push_back(readRecordingFacts(
            readHeader([&](char* buffer, unsigned size) { return unzReadCurrentFile(archive.get(), buffer, size); })));
        unzCloseCurrentFile(archive.get());
    }
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
