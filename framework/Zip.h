#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// ZIP archives through minizip.
namespace fw {

class ZipError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Number of entries the central directory lists; -1 when the file is not a
// readable ZIP archive.
int64_t countZipEntries(const std::string& archive);

struct ZipExtractLimits {
    uint64_t maxEntryBytes = 256ull << 20;  // one entry larger than this is skipped
    uint64_t maxTotalBytes = 1ull << 30;    // entries beyond this total are skipped
};

// Extracts every entry into `directory`, recreating the directories stored in
// the entry names and overwriting existing files. Entry names that would
// leave `directory` (a ".." part, an absolute path, a drive letter) are
// skipped, and so are entries beyond the limits; a damaged entry is dropped
// and extraction goes on. Returns the number of files written; throws
// ZipError when the archive cannot be opened.
int extractZip(const std::string& archive, const std::string& directory, const ZipExtractLimits& limits = {});

struct ZipSource {
    std::string entryName;  // bare name stored in the archive
    std::string path;       // file whose content is stored
};
// Writes a new archive (replacing a file of that name) with every source
// deflated at level 9. Throws ZipError when a file cannot be read or written.
void writeZip(const std::string& archive, const std::vector<ZipSource>& sources);

// True when an entry name stays inside the extraction directory.
bool isSafeEntryName(const std::string& name);

}  // namespace fw
