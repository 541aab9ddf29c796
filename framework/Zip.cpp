#include "Zip.h"

#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "FileSystem.h"
#include "ZipInput.h"

namespace fw {

namespace {

struct UnzCloser {
    void operator()(void* handle) const { unzClose(handle); }
};
using UnzHandle = std::unique_ptr<void, UnzCloser>;

UnzHandle openArchive(const std::string& archive) {
    zlib_filefunc64_def input = bufferedZipInput();
    return UnzHandle(unzOpen2_64(archive.c_str(), &input));
}

// Closes an archive being written that is given up; a finished one is closed
// by hand, where the result counts.
struct ZipAbandoner {
    void operator()(void* handle) const { zipClose(handle, nullptr); }
};
using ZipHandle = std::unique_ptr<void, ZipAbandoner>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Entry names use '/', but archives written on Windows may use '\'.
std::vector<std::string> nameParts(const std::string& name) {
    std::vector<std::string> parts(1);
    for (char c : name) {
        if (c == '/' || c == '\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string pathIn(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == kPathDelimiter) return directory + name;
    return directory + kPathDelimiter + name;
}

// Copies the current entry to `path`; false (and no file left) when it cannot
// be read, or when it grows beyond `allowed` bytes.
bool extractCurrent(void* archive, const std::string& path, uint64_t allowed, uint64_t& written) {
    if (unzOpenCurrentFile(archive) != UNZ_OK) return false;
    bool ok = true;
    {
        FileHandle out(std::fopen(path.c_str(), "wb"));
        if (!out) {
            unzCloseCurrentFile(archive);
            return false;
        }
        std::vector<char> buffer(64 * 1024);
        written = 0;
        for (;;) {
            const int got = unzReadCurrentFile(archive, buffer.data(), static_cast<unsigned>(buffer.size()));
            if (got < 0) {
                ok = false;
                break;
            }
            if (got == 0) break;
            written += static_cast<uint64_t>(got);
            if (written > allowed || std::fwrite(buffer.data(), 1, static_cast<size_t>(got), out.get()) !=
                                         static_cast<size_t>(got)) {
                ok = false;
                break;
            }
        }
        if (std::fflush(out.get()) != 0) ok = false;
    }
    // A CRC mismatch shows only when the entry is closed.
    if (unzCloseCurrentFile(archive) != UNZ_OK) ok = false;
    if (!ok) deleteFile(path);
    return ok;
}

// Names Windows keeps for devices, with any extension: writing "COM1.hrm"
// would open a port.
bool isDeviceName(const std::string& part) {
    std::string base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const std::set<std::string> reserved = {"CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1", "COM2",
                                                   "COM3", "COM4", "COM5", "COM6", "COM7",   "COM8",    "COM9", "LPT1",
                                                   "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",   "LPT7",    "LPT8", "LPT9"};
    return reserved.count(base) != 0;
}

// Entries stored under a bare name that isSafeEntryName accepts, the first
// `maxEntries` looked at: visit(name, info) with each one current. The names
// of the other files among them go to `refused` when given.
template <typename Visit>
void forEachBareEntry(void* archive, uint64_t maxEntries, Visit visit, std::vector<std::string>* refused = nullptr) {
    uint64_t entries = 0;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK && entries < maxEntries;
         status = unzGoToNextFile(archive), ++entries) {
        unz_file_info64 info;
        char name[1024];
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) continue;
        // minizip leaves a name that fills the buffer unterminated; a NUL
        // inside the name would hide its rest.
        if (info.size_filename >= sizeof name || std::strlen(name) != info.size_filename) continue;
        const std::string entryName = name;
        // Exercises and tracks are bare names; anything in a directory could
        // never be analysed and would outlive the work directory's clean-up.
        if (!isSafeEntryName(entryName) || nameParts(entryName).size() != 1) {
            // A folder's own entry holds nothing to read.
            if (refused && !nameParts(entryName).back().empty()) refused->push_back(entryName);
            continue;
        }
        visit(entryName, info);
    }
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

bool isSafeEntryName(const std::string& name) {
    if (name.empty()) return false;
    const std::vector<std::string> parts = nameParts(name);
    if (parts.front().empty()) return false;  // absolute path
    for (const std::string& part : parts) {
        // Windows drops trailing dots and blanks, so "... " would mean "..".
        if (!part.empty() && part.find_first_not_of(". ") == std::string::npos) return false;
        if (part.find(':') != std::string::npos) return false;  // drive letters and stream names
        if (isDeviceName(part)) return false;
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

int64_t countZipEntries(const std::string& archive) {
    UnzHandle handle = openArchive(archive);
    if (!handle) return -1;
    unz_global_info64 info;
    if (unzGetGlobalInfo64(handle.get(), &info) != UNZ_OK) return -1;
    return static_cast<int64_t>(info.number_entry);
}

int extractZip(const std::string& archive, const std::string& directory, const ZipExtractLimits& limits,
               std::vector<std::string>* written) {
    UnzHandle handle = openArchive(archive);
    if (!handle) throw ZipError("cannot open archive " + archive);
    int files = 0;
    // Every byte inflated counts, kept or not, so that entries that fail at
    // the limit cannot make the extraction run on.
    uint64_t inflated = 0;
    forEachBareEntry(handle.get(), limits.maxEntries, [&](const std::string& entryName, const unz_file_info64& info) {
        const std::string path = pathIn(directory, entryName);
        if (directoryExists(path)) return;
        const uint64_t allowed = std::min(limits.maxEntryBytes, limits.maxTotalBytes - inflated);
        if (info.uncompressed_size > allowed) return;
        uint64_t got = 0;
        const bool ok = extractCurrent(handle.get(), path, allowed, got);
        inflated += std::min(got, allowed);
        if (!ok) return;
        if (written) written->push_back(entryName);
        ++files;
    });
    return files;
}

std::vector<ZipEntryHead> readZipEntryHeads(const std::string& archive, const std::string& endMarker,
                                            size_t maxBytes, std::vector<std::string>* refused) {
    std::vector<ZipEntryHead> heads;
    UnzHandle handle = openArchive(archive);
    if (!handle) return heads;
    forEachBareEntry(handle.get(), ZipExtractLimits{}.maxEntries, [&](const std::string& name, const unz_file_info64&) {
        if (unzOpenCurrentFile(handle.get()) != UNZ_OK) return;
        ZipEntryHead head{name, {}};
        char buffer[16 * 1024];
        int got;
        while (head.bytes.size() < maxBytes &&
               (got = unzReadCurrentFile(handle.get(), buffer, static_cast<unsigned>(sizeof buffer))) > 0) {
            // The marker may straddle two reads.
            const size_t from = head.bytes.size() - std::min(head.bytes.size(), endMarker.size());
            head.bytes.append(buffer, static_cast<size_t>(got));
            const size_t at = endMarker.empty() ? std::string::npos : head.bytes.find(endMarker, from);
            if (at != std::string::npos) {
                head.bytes.resize(at + endMarker.size());
                break;
            }
        }
        unzCloseCurrentFile(handle.get());
        heads.push_back(std::move(head));
    }, refused);
    return heads;
}

std::optional<std::string> readZipEntry(const std::string& archive, const std::string& name, size_t maxBytes) {
    std::optional<std::string> bytes;
    UnzHandle handle = openArchive(archive);
    if (!handle) return bytes;
    forEachBareEntry(handle.get(), ZipExtractLimits{}.maxEntries, [&](const std::string& entry, const unz_file_info64&) {
        if (bytes || !sameIgnoringCase(entry, name) || unzOpenCurrentFile(handle.get()) != UNZ_OK) return;
        std::string read;
        char buffer[16 * 1024];
        int got = 0;
        while (read.size() < maxBytes &&
               (got = unzReadCurrentFile(handle.get(), buffer, static_cast<unsigned>(sizeof buffer))) > 0)
            read.append(buffer, static_cast<size_t>(got));
        // minizip checks the CRC only of an entry read to its declared end: a
        // read that failed before it is no entry, though closing succeeds.
        const bool whole = unzCloseCurrentFile(handle.get()) == UNZ_OK && got >= 0;
        if (whole || read.size() >= maxBytes) bytes = std::move(read);
    });
    return bytes;
}

void writeZip(const std::string& archive, const std::vector<ZipSource>& sources) {
    ZipHandle zip(zipOpen64(archive.c_str(), APPEND_STATUS_CREATE));
    if (!zip) throw ZipError("cannot create archive " + archive);
    bool ok = true;
    std::string failed;
    for (const ZipSource& source : sources) {
        FileHandle in(std::fopen(source.path.c_str(), "rb"));
        zip_fileinfo info{};
        if (!in || zipOpenNewFileInZip64(zip.get(), source.entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                         Z_DEFLATED, 9, 0) != ZIP_OK) {
            ok = false, failed = source.path;
            break;
        }
        std::vector<char> buffer(64 * 1024);
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0)
            if (zipWriteInFileInZip(zip.get(), buffer.data(), static_cast<unsigned>(got)) != ZIP_OK) ok = false;
        if (std::ferror(in.get())) ok = false;
        if (zipCloseFileInZip(zip.get()) != ZIP_OK) ok = false;
        if (!ok) {
            failed = source.path;
            break;
        }
    }
    if (zipClose(zip.release(), nullptr) != ZIP_OK && ok) ok = false, failed = archive;
    if (!ok) throw ZipError("cannot archive " + failed);
}

}  // namespace fw
