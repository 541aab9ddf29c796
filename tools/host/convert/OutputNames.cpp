#include "tools/host/convert/OutputNames.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "framework/FileSystem.h"
#include "tools/host/recording/Companions.h"

namespace fs = std::filesystem;

void OutputNames::hold(const std::string& file, const std::string& key) {
    const size_t dot = file.find_last_of('.'), slash = file.find_last_of('/');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string folded = foldedName(extension ? file.substr(0, dot) : file);
    if (held_.emplace(folded, key).second) heldBy_[key].push_back(folded);
}

fs::path OutputNames::claim(const std::string& folder, const std::string& stem,
                            const std::vector<std::string>& extensions, const std::string& key) {
    const fs::path base = fw::toPath(folder) / fw::toPath(stem);
    const auto candidate = [&](int n) {
        fs::path path = base;
        if (n > 1) path += fw::toPath(" (" + std::to_string(n) + ")");
        return path;
    };
    // As the held names are written: '/' between folders.
    const auto foldedAt = [&](int n) { return foldedName(fw::fromPath(fs::path(candidate(n).generic_string()))); };
    const auto free = [&](const std::string& folded) {
        return std::none_of(extensions.begin(), extensions.end(),
                            [&](const std::string& extension) { return taken_.count(folded + extension) != 0; });
    };
    // The name an earlier run gave this exercise: "stem" or "stem (n)".
    const std::string first = foldedAt(1);
    int chosen = 0;
    const auto own = heldBy_.find(key);
    for (const std::string& held : own == heldBy_.end() ? std::vector<std::string>() : own->second) {
        int n = held == first ? 1 : 0;
        const std::string_view rest = std::string_view(held).substr(std::min(first.size(), held.size()));
        if (n == 0 && held.compare(0, first.size(), first) == 0 && rest.size() > 3 && rest.substr(0, 2) == " (" &&
            rest.back() == ')') {
            const std::string_view digits = rest.substr(2, rest.size() - 3);
            std::from_chars(digits.data(), digits.data() + digits.size(), n);
            if (n < 2 || foldedAt(n) != held) n = 0;
        }
        if (n > 0 && free(held) && (chosen == 0 || n < chosen)) chosen = n;
    }
    for (int n = 1; chosen == 0; ++n) {
        const std::string folded = foldedAt(n);
        const auto holder = held_.find(folded);
        if ((holder == held_.end() || holder->second == key) && free(folded)) chosen = n;
    }
    const std::string folded = foldedAt(chosen);
    for (const std::string& extension : extensions) taken_.insert(folded + extension);
    return directory_ / candidate(chosen);
}
