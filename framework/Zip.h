#pragma once

#include <cstdint>
#include <optional>
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
    uint64_t maxTotalBytes = 1ull << 30;    // bytes inflated per extraction, skipped entries included
    uint64_t maxEntries = 65535;            // entries looked at; the rest are ignored
};

// Extracts the entries stored under bare names into `directory`,
// overwriting existing files. Entries in a directory, directory entries and
// names isSafeEntryName refuses are skipped, and so are entries beyond the
// limits; a damaged entry is dropped and extraction goes on. Returns the
// number of files written, whose names go to `written` when given; throws
// ZipError when the archive cannot be opened.
int extractZip(const std::string& archive, const std::string& directory, const ZipExtractLimits& limits = {},
               std::vector<std::string>* written = nullptr);

struct ZipEntryHead {
    std::string name;   // bare entry name
    std::string bytes;  // the entry's first bytes
};
// The start of every entry extractZip would write: its bytes up to and
// including the first `endMarker` (all of them when the marker is empty or
// missing), at most about `maxBytes`; a damaged entry gives what could be
// read of it. An archive that cannot be opened gives none. The names of the
// files extractZip refuses for their names (in a folder, or unsafe) go to
// `refused` when given.
std::vector<ZipEntryHead> readZipEntryHeads(const std::string& archive, const std::string& endMarker,
                                            size_t maxBytes, std::vector<std::string>* refused = nullptr);

// The bytes of the entry extractZip would write under `name`, matched in
// any case, up to about `maxBytes`; nullopt when there is none or it cannot
// be read.
std::optional<std::string> readZipEntry(const std::string& archive, const std::string& name, size_t maxBytes);

struct ZipSource {
    std::string entryName;  // bare name stored in the archive
    std::string path;       // file whose content is stored
};
// Writes a new archive (replacing a file of that name) with every source
// deflated at level 9. Throws ZipError when a file cannot be read or written.
void writeZip(const std::string& archive, const std::vector<ZipSource>& sources);

// True when an entry name stays inside the extraction directory and names
// no device: no ".." (nor a part of dots and blanks), no absolute path, no
// drive letter or stream, no control character, no reserved device name.
bool isSafeEntryName(const std::string& name);

// Reads of archives from the disk since the program started, and the bytes
// they brought: what reading archives costs, whatever their content claims.
struct ZipDiskReads {
    uint64_t reads = 0;
    uint64_t bytes = 0;
};
ZipDiskReads zipDiskReads();

}  // namespace fw
