#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The sport the converted files and the reports give an exercise, by its
// number in the FIT profile's list of sports. Other is FIT's "generic".
enum class Sport : uint8_t { Other = 0, Running = 1, Cycling = 2, Swimming = 5, Walking = 11 };

// FIT's name of the sport ("running", "cross_country_skiing"), except
// "other" for generic: the names of --sport, --sport-map and the reports.
std::string sportName(Sport sport);
// The sport of such a name (FIT's "generic" too); nullopt for any other text.
std::optional<Sport> parseSport(std::string_view name);
// Every name parseSport takes, for a usage message.
std::string sportNames();
