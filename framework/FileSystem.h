#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The file-system calls the plug-in needs. Paths are 8-bit text in the
// system's code page; every call reports failure by its result.
namespace fw {

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

// File attribute bits with their Windows values; the POSIX back end maps
// read-only to the owner's write permission and hidden to a leading dot.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

// The temporary directory as the system reports it (on Windows with its
// final backslash); empty when the system reports none.
std::string tempDirectory();

bool fileExists(const std::string& path);  // an existing file, not a directory
bool directoryExists(const std::string& path);

// False when the path does not exist.
bool getAttributes(const std::string& path, uint32_t& attributes);
bool setAttributes(const std::string& path, uint32_t attributes);

struct DirectoryEntry {
    std::string name;  // bare name, no directory part
    uint32_t attributes;
};
// Entries of `directory` whose names match `mask` ("*" and "?", case-insensitive;
// "*.*" matches every name), in the system's listing order on Windows and by
// name on POSIX. "." and ".." are included where the system lists them.
// Empty when the directory cannot be listed.
std::vector<DirectoryEntry> listDirectory(const std::string& directory, const std::string& mask);

bool deleteFile(const std::string& path);
bool createDirectories(const std::string& path);  // with missing parents; true when it exists afterwards
bool removeDirectory(const std::string& path);    // only an empty directory
bool setCurrentDirectory(const std::string& path);
std::string currentDirectory();

// Root of the drive `path` lies on, with its delimiter ("C:\" on Windows, "/" on POSIX).
std::string driveRoot(const std::string& path);

// Size of a file in bytes; -1 when it cannot be read.
int64_t fileSize(const std::string& path);

// Size and last-write time (in the system's own units) of a file; false when
// it cannot be read. Together they tell whether a file changed.
struct FileStamp {
    int64_t size = -1;
    int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};
bool fileStamp(const std::string& path, FileStamp& stamp);

bool wildcardMatch(const std::string& name, const std::string& mask);

// A path in the system's code page as a std::filesystem path, and back.
// On Windows std::filesystem takes 8-bit text for UTF-8, so a name with
// letters beyond ASCII would change on its way between the two; a character
// the code page lacks comes back as '?'.
std::filesystem::path toPath(const std::string& path);
std::string fromPath(const std::filesystem::path& path);

}  // namespace fw
