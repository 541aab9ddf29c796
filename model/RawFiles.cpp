#include "RawFiles.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "framework/FileSystem.h"
#include "framework/Zip.h"

std::string FileExtension(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    const size_t separator = fileName.find_last_of("\\/:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
    return fileName.substr(dot);
}

bool IsHrmFile(const std::string& fileName) {
    std::string extension = FileExtension(fileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".hrm";
}

bool IsValidRawExtension(const char* extension) {
    return extension != nullptr && (std::strcmp(extension, ".hrz") == 0 || std::strcmp(extension, ".hrm") == 0);
}

int64_t CountExercisesInRawFile(const std::string& fileName) {
    if (IsHrmFile(fileName)) return 1;
    if (!fw::fileExists(fileName)) return 0;
    return std::max<int64_t>(fw::countZipEntries(fileName), 0);
}
