#pragma once

#include <cstdint>
#include <string>

#include "model/HrmFormat.h"

// The two raw file kinds: a single ".hrm" exercise and a ".hrz" ZIP archive
// of them.

// First five bytes of every archive an import writes: a ZIP local file
// header needing version 2.0 to extract.
inline constexpr char RawSignature[] = "\x50\x4B\x03\x04\x14";
inline constexpr size_t kRawSignatureLength = 5;

// True for exactly ".hrz" or ".hrm" (case-sensitive, dot included).
bool IsValidRawExtension(const char* extension);

// 1 for a name ending in ".hrm" (existing or not); otherwise the number of
// entries of the ZIP archive, 0 when it is missing or not readable.
int64_t CountExercisesInRawFile(const std::string& fileName);

// "n.hrm", or "n_k.hrm" with the first k from 1 to 1999 for which
// `exists` says no; empty when every name is taken.
template <typename Exists>
std::string ExerciseFileName(int32_t fileNumber, Exists exists) {
    const std::string base = std::to_string(fileNumber);
    if (!exists(base + ".hrm")) return base + ".hrm";
    for (int k = 1; k <= 1999; ++k) {
        const std::string name = base + "_" + std::to_string(k) + ".hrm";
        if (!exists(name)) return name;
    }
    return {};
}
