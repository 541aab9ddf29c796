#include "framework/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace fw {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool statPath(const std::string& path, struct stat& info) { return !path.empty() && ::stat(path.c_str(), &info) == 0; }

uint32_t attributesOf(const std::string& name, const struct stat& info) {
    uint32_t attributes = S_ISDIR(info.st_mode) ? kAttrDirectory : kAttrArchive;
    if ((info.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kAttrHidden;
    return attributes;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string tempDirectory() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    return path;
}

bool fileExists(const std::string& path) {
    struct stat info;
    return statPath(path, info) && !S_ISDIR(info.st_mode);
}

bool directoryExists(const std::string& path) {
    struct stat info;
    return statPath(path, info) && S_ISDIR(info.st_mode);
}

bool getAttributes(const std::string& path, uint32_t& attributes) {
    struct stat info;
    if (!statPath(path, info)) return false;
    attributes = attributesOf(baseName(path), info);
    return true;
}

bool setAttributes(const std::string& path, uint32_t attributes) {
    struct stat info;
    if (!statPath(path, info)) return false;
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0;
}

std::vector<DirectoryEntry> listDirectory(const std::string& directory, const std::string& mask) {
    std::vector<DirectoryEntry> entries;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
    if (!dir) return entries;
    std::string prefix = directory;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!wildcardMatch(name, mask)) continue;
        struct stat info;
        if (::lstat((prefix + name).c_str(), &info) != 0) continue;
        entries.push_back(DirectoryEntry{name, attributesOf(name, info)});
    }
    // POSIX directories have no fixed order; listing by name keeps indexes stable.
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return entries;
}

bool deleteFile(const std::string& path) {
    struct stat info;
    // Like Windows, a read-only file cannot be deleted.
    if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0) return false;
    return ::unlink(path.c_str()) == 0;
}

bool createDirectories(const std::string& path) {
    if (path.empty()) return false;
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return directoryExists(path);
}

bool removeDirectory(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool setCurrentDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::string currentDirectory() {
    std::string buffer(4096, '\0');
    if (!::getcwd(buffer.data(), buffer.size())) return {};
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string driveRoot(const std::string&) { return "/"; }

int64_t fileSize(const std::string& path) {
    struct stat info;
    if (!statPath(path, info) || S_ISDIR(info.st_mode)) return -1;
    return static_cast<int64_t>(info.st_size);
}

std::filesystem::path toPath(const std::string& path) { return path; }

std::string fromPath(const std::filesystem::path& path) { return path.string(); }

}  // namespace fw
