#pragma once

#include <string>

// The one scratch directory under the temporary directory that imports and
// archive extractions share.

// Appends the path delimiter to a non-empty path that does not end in one.
std::string IncludeTrailingBackslash(std::string path);

// Temporary directory + "VoruzUvidav", without a final delimiter.
std::string WorkDirectoryPath();

// Removes every file directly in `directory`, then the directory. Paths of
// fewer than 5 characters (a drive root) and missing directories are left
// alone; single failures are ignored. Leaves the drive root as the current
// directory, so the directory is not in use while it is removed.
void DeleteWorkDirectory(const std::string& directory);
