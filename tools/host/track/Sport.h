#pragma once

#include <optional>
#include <string>

// The sport the converted files and the reports give an exercise.
enum class Sport { Running, Cycling, Other };

// "running", "cycling", "other": the names of --sport and the reports.
const char* sportName(Sport sport);
// The sport of such a name; nullopt for any other text.
std::optional<Sport> parseSport(const std::string& name);
