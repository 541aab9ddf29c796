#include "tools/host/convert/OutputNames.h"

#include <algorithm>

#include "framework/FileSystem.h"
#include "tools/host/recording/Companions.h"

namespace fs = std::filesystem;

fs::path OutputNames::claim(const std::string& folder, const std::string& stem,
                            const std::vector<std::string>& extensions) {
    const fs::path base = fw::toPath(folder) / fw::toPath(stem);
    for (int n = 1;; ++n) {
        fs::path candidate = base;
        if (n > 1) candidate += fw::toPath(" (" + std::to_string(n) + ")");
        const std::string key = foldedName(fw::fromPath(candidate));
        if (std::any_of(extensions.begin(), extensions.end(),
                        [&](const std::string& extension) { return taken_.count(key + extension) != 0; }))
            continue;
        for (const std::string& extension : extensions) taken_.insert(key + extension);
        return directory_ / candidate;
    }
}
