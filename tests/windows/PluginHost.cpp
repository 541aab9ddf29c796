#include "PluginHost.h"

#include <stdexcept>

#include "tests/shared/FileContent.h"

ScratchDirectory::ScratchDirectory(const std::string& name) {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw std::runtime_error("cannot create " + path_);
}

ScratchDirectory::~ScratchDirectory() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string entry = file(data.cFileName);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryA(entry.c_str());
            } else {
                SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(entry.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path_.c_str());
}

void ScratchDirectory::write(const std::string& name, const std::string& content) const {
    writeFile(file(name), content);
}

std::string windowTextOf(HWND window) {
    wchar_t wide[1024];
    const int length = InternalGetWindowText(window, wide, 1024);
    char narrow[2048];
    const int bytes = length > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, length, narrow, sizeof narrow, nullptr, nullptr) : 0;
    return std::string(narrow, bytes > 0 ? bytes : 0);
}
