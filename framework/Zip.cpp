#include "Zip.h"

#include <unzip.h>
#include <zip.h>

#include <cstdio>
#include <memory>

#include "FileSystem.h"

namespace fw {

namespace {

struct UnzCloser {
    void operator()(void* handle) const { unzClose(handle); }
};
using UnzHandle = std::unique_ptr<void, UnzCloser>;

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

std::string joinPath(const std::string& directory, const std::vector<std::string>& parts, size_t count) {
    std::string path = directory;
    for (size_t i = 0; i < count; ++i) {
        if (path.empty() || path.back() != kPathDelimiter) path += kPathDelimiter;
        path += parts[i];
    }
    return path;
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

}  // namespace

bool isSafeEntryName(const std::string& name) {
    if (name.empty()) return false;
    const std::vector<std::string> parts = nameParts(name);
    if (parts.front().empty()) return false;  // absolute path
    for (const std::string& part : parts) {
        if (part == "..") return false;
        if (part.find(':') != std::string::npos) return false;  // drive letters and stream names
    }
    return true;
}

int64_t countZipEntries(const std::string& archive) {
    UnzHandle handle(unzOpen64(archive.c_str()));
    if (!handle) return -1;
    unz_global_info64 info;
    if (unzGetGlobalInfo64(handle.get(), &info) != UNZ_OK) return -1;
    return static_cast<int64_t>(info.number_entry);
}

int extractZip(const std::string& archive, const std::string& directory, const ZipExtractLimits& limits) {
    UnzHandle handle(unzOpen64(archive.c_str()));
    if (!handle) throw ZipError("cannot open archive " + archive);
    int files = 0;
    uint64_t total = 0;
    for (int status = unzGoToFirstFile(handle.get()); status == UNZ_OK; status = unzGoToNextFile(handle.get())) {
        unz_file_info64 info;
        char name[1024];
        if (unzGetCurrentFileInfo64(handle.get(), &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            continue;
        const std::string entryName = name;
        if (!isSafeEntryName(entryName)) continue;
        std::vector<std::string> parts = nameParts(entryName);
        const bool isDirectory = parts.back().empty();
        if (isDirectory) parts.pop_back();
        if (!createDirectories(joinPath(directory, parts, parts.size() - (isDirectory ? 0 : 1)))) continue;
        if (isDirectory) continue;
        const std::string path = joinPath(directory, parts, parts.size());
        if (directoryExists(path)) continue;
        const uint64_t allowed = std::min(limits.maxEntryBytes, limits.maxTotalBytes - total);
        if (info.uncompressed_size > allowed) continue;
        uint64_t written = 0;
        if (!extractCurrent(handle.get(), path, allowed, written)) continue;
        total += written;
        ++files;
    }
    return files;
}

void writeZip(const std::string& archive, const std::vector<ZipSource>& sources) {
    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    if (!zip) throw ZipError("cannot create archive " + archive);
    bool ok = true;
    std::string failed;
    for (const ZipSource& source : sources) {
        FileHandle in(std::fopen(source.path.c_str(), "rb"));
        zip_fileinfo info{};
        if (!in || zipOpenNewFileInZip64(zip, source.entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                         Z_DEFLATED, 9, 0) != ZIP_OK) {
            ok = false, failed = source.path;
            break;
        }
        std::vector<char> buffer(64 * 1024);
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0)
            if (zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(got)) != ZIP_OK) ok = false;
        if (std::ferror(in.get())) ok = false;
        if (zipCloseFileInZip(zip) != ZIP_OK) ok = false;
        if (!ok) {
            failed = source.path;
            break;
        }
    }
    if (zipClose(zip, nullptr) != ZIP_OK && ok) ok = false, failed = archive;
    if (!ok) throw ZipError("cannot archive " + failed);
}

}  // namespace fw
