#include "tools/host/track/Sport.h"

#include <iterator>

namespace {

// The sports of the FIT profile, by number.
constexpr std::string_view kFitSports[] = {
    "generic",        "running",          "cycling",        "transition",          "fitness_equipment",
    "swimming",       "basketball",       "soccer",         "tennis",              "american_football",
    "training",       "walking",          "cross_country_skiing", "alpine_skiing",  "snowboarding",
    "rowing",         "mountaineering",   "hiking",         "multisport",          "paddling",
    "flying",         "e_biking",         "motorcycling",   "boating",             "driving",
    "golf",           "hang_gliding",     "horseback_riding", "hunting",           "fishing",
    "inline_skating", "rock_climbing",    "sailing",        "ice_skating",         "sky_diving",
    "snowshoeing",    "snowmobiling",     "stand_up_paddleboarding", "surfing",    "wakeboarding",
    "water_skiing",   "kayaking",         "rafting",        "windsurfing",         "kitesurfing",
    "tactical",       "jumpmaster",       "boxing",         "floor_climbing",
};
constexpr std::string_view kOther = "other";

}  // namespace

std::string sportName(Sport sport) {
    const auto number = static_cast<size_t>(sport);
    if (sport == Sport::Other || number >= std::size(kFitSports)) return std::string(kOther);
    return std::string(kFitSports[number]);
}

std::optional<Sport> parseSport(std::string_view name) {
    if (name == kOther) return Sport::Other;
    for (size_t number = 0; number < std::size(kFitSports); ++number)
        if (name == kFitSports[number]) return static_cast<Sport>(number);
    return std::nullopt;
}

std::string sportNames() {
    std::string names(kOther);
    for (size_t number = 1; number < std::size(kFitSports); ++number) names.append(", ").append(kFitSports[number]);
    return names;
}
