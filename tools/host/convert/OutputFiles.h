#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>

// A converted file could not be written; nothing of it is left behind.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes through `write` into `path`, by way of a temporary name beside it
// that is removed again when anything fails, so that a file of that name is
// always whole. Throws OutputError with the reason; an exception that is no
// std::exception, such as an interrupt, passes on once the partial file is gone.
void writeFileAtomically(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write);
