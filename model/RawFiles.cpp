#include "RawFiles.h"

#include <algorithm>
#include <cstring>

#include "framework/FileSystem.h"
#include "framework/Zip.h"

bool IsValidRawExtension(const char* extension) {
    return extension != nullptr && (std::strcmp(extension, ".hrz") == 0 || std::strcmp(extension, ".hrm") == 0);
}

int64_t CountExercisesInRawFile(const std::string& fileName) {
    if (IsHrmFile(fileName)) return 1;
    if (!fw::fileExists(fileName)) return 0;
    return std::max<int64_t>(fw::countZipEntries(fileName), 0);
}
