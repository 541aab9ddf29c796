#include "framework/FileSystem.h"

#include <windows.h>

namespace fw {

namespace {

bool attributesOf(const std::string& path, DWORD& attributes) {
    if (path.empty()) return false;
    attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool isDelimiter(char c) { return c == '\\' || c == '/'; }

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Length of the drive part of a path: "C:" or "\\server\share"; 0 for none.
size_t drivePartLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return 2;
    if (path.size() >= 2 && isDelimiter(path[0]) && isDelimiter(path[1])) {
        size_t pos = path.find_first_of("\\/", 2);
        if (pos == std::string::npos) return path.size();
        pos = path.find_first_of("\\/", pos + 1);
        return pos == std::string::npos ? path.size() : pos;
    }
    return 0;
}

}  // namespace

std::string tempDirectory() {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    // A result larger than the buffer is the size it would need: no usable path.
    if (length == 0 || length > MAX_PATH) return {};
    return std::string(buffer, length);
}

bool fileExists(const std::string& path) {
    DWORD attributes;
    return attributesOf(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool directoryExists(const std::string& path) {
    DWORD attributes;
    return attributesOf(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool getAttributes(const std::string& path, uint32_t& attributes) {
    DWORD found;
    if (!attributesOf(path, found)) return false;
    attributes = found;
    return true;
}

bool setAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != 0;
}

std::vector<DirectoryEntry> listDirectory(const std::string& directory, const std::string& mask) {
    std::vector<DirectoryEntry> entries;
    std::string pattern = directory;
    if (!pattern.empty() && !isDelimiter(pattern.back())) pattern += '\\';
    pattern += mask;
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.valid()) return entries;
    do {
        entries.push_back(DirectoryEntry{data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

bool deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool createDirectories(const std::string& path) {
    if (path.empty()) return false;
    // Each parent in turn; those that exist already just fail to be created.
    for (size_t pos = drivePartLength(path) + 1; pos < path.size(); ++pos) {
        if (isDelimiter(path[pos])) CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return directoryExists(path);
}

bool removeDirectory(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool setCurrentDirectory(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string currentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::string buffer(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0 || length >= needed) return {};
    buffer.resize(length);
    return buffer;
}

std::string driveRoot(const std::string& path) { return path.substr(0, drivePartLength(path)) + '\\'; }

int64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return -1;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::filesystem::path toPath(const std::string& path) {
    if (path.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
    return wide;
}

std::string fromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace fw
