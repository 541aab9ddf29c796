#include "tools/host/views/RouteSketch.h"

#include <algorithm>
#include <cmath>

#include "tools/host/views/ChartScale.h"
#include "tools/host/views/SvgDocument.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 6371000 * kPi / 180;  // along a meridian
// A route within this is drawn as a spot in a frame this wide.
constexpr double kSmallestExtent = 100;  // metres
constexpr double kPadding = 18;          // pixels between the frame and the route
constexpr double kTitleGap = 8;
constexpr double kMarkFont = 10;
constexpr double kBarGap = 12;  // between the frame and the scale bar under it

double distance(double east, double north) { return std::sqrt(east * east + north * north); }

struct Box {
    double left, top, right, bottom;
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

}  // namespace

RouteSketch::Point RouteSketch::project(double latitude, double longitude) const {
    double east = longitude - longitude0_;
    if (east > 180) east -= 360;
    if (east < -180) east += 360;
    return {east * metresPerDegreeEast_, (latitude - latitude0_) * kMetresPerDegree};
}

void RouteSketch::add(double latitude, double longitude) {
    if (!(std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180)) return;
    if (!started_) {
        started_ = true;
        latitude0_ = latitude;
        longitude0_ = longitude;
        metresPerDegreeEast_ = kMetresPerDegree * std::cos(latitude * kPi / 180);
        kept_.push_back({0, 0});
        return;
    }
    last_ = project(latitude, longitude);
    west_ = std::min(west_, last_.east);
    east_ = std::max(east_, last_.east);
    south_ = std::min(south_, last_.north);
    north_ = std::max(north_, last_.north);
    const Point& before = kept_.back();
    if (distance(last_.east - before.east, last_.north - before.north) <= tolerance_) return;
    kept_.push_back(last_);
    if (kept_.size() >= kMostKept) thin();
}

// Doubles the least distance between kept points until half of them are left.
void RouteSketch::thin() {
    tolerance_ = std::max(tolerance_, distance(extentEast(), extentNorth()) / 4096);
    while (kept_.size() > kMostKept / 2) {
        tolerance_ *= 2;
        std::vector<Point> thinned = {kept_.front()};
        for (const Point& p : kept_)
            if (distance(p.east - thinned.back().east, p.north - thinned.back().north) > tolerance_)
                thinned.push_back(p);
        kept_ = std::move(thinned);
    }
}

void RouteSketch::markLapEnd(int number) {
    if (started_) laps_.push_back({last_, std::to_string(number)});
}

double RouteSketch::extentEast() const { return std::max(east_ - west_, kSmallestExtent); }
double RouteSketch::extentNorth() const { return std::max(north_ - south_, kSmallestExtent); }

RouteSketch::Size RouteSketch::fit(double maxWidth, double maxHeight) const {
    const double inner = maxWidth - 2 * kPadding;
    const double height = inner * extentNorth() / extentEast() + 2 * kPadding;
    if (height <= maxHeight) return {maxWidth, std::max(height, maxHeight / 3)};
    const double width = (maxHeight - 2 * kPadding) * extentEast() / extentNorth() + 2 * kPadding;
    return {std::max(width, maxWidth / 3), maxHeight};
}

void RouteSketch::draw(pugi::xml_node parent, double x, double y, Size size) const {
    pugi::xml_node group = addGroup(parent, "route");
    addText(group, x, y - kTitleGap, "Route, north up", "panelTitle");
    addRect(group, x, y, size.width, size.height, "frame");
    const double scale = std::min((size.width - 2 * kPadding) / extentEast(),
                                  (size.height - 2 * kPadding) / extentNorth());
    // The route in the middle of the frame.
    const double left = x + size.width / 2 - (west_ + east_) / 2 * scale;
    const double top = y + size.height / 2 + (south_ + north_) / 2 * scale;
    const auto xOf = [&](const Point& p) { return left + p.east * scale; };
    const auto yOf = [&](const Point& p) { return top - p.north * scale; };

    PathData path;
    for (const Point& p : kept_) path.empty() ? path.moveTo(xOf(p), yOf(p)) : path.lineTo(xOf(p), yOf(p));
    path.lineTo(xOf(last_), yOf(last_));
    group.append_child("path").append_attribute("d").set_value(path.text().c_str());
    group.last_child().append_attribute("class").set_value("routeLine");

    // Marks, then their labels inside the frame where no other mark or label is.
    std::vector<Box> taken;
    std::vector<std::pair<Point, std::string>> labels;
    const Point start = kept_.front(), finish = last_;
    for (const Mark& mark : laps_) {
        addCircle(group, xOf(mark.at), yOf(mark.at), 3.5, "lapMark");
        taken.push_back({xOf(mark.at) - 4, yOf(mark.at) - 4, xOf(mark.at) + 4, yOf(mark.at) + 4});
        labels.emplace_back(mark.at, mark.label);
    }
    // The start over the finish, both seen where a loop ends where it began.
    addRect(group, xOf(finish) - 5, yOf(finish) - 5, 10, 10, "finishMark");
    addCircle(group, xOf(start), yOf(start), 4, "startMark");
    taken.push_back({xOf(start) - 5, yOf(start) - 5, xOf(start) + 5, yOf(start) + 5});
    taken.push_back({xOf(finish) - 5, yOf(finish) - 5, xOf(finish) + 5, yOf(finish) + 5});
    labels.emplace_back(start, "start");
    labels.emplace_back(finish, "finish");
    for (const auto& [at, text] : labels) {
        const double width = textWidth(text, kMarkFont), cx = xOf(at), cy = yOf(at);
        const Box places[] = {{cx + 6, cy - 6 - kMarkFont, cx + 6 + width, cy - 6},
                              {cx + 6, cy + 6, cx + 6 + width, cy + 6 + kMarkFont},
                              {cx - 6 - width, cy - 6 - kMarkFont, cx - 6, cy - 6},
                              {cx - 6 - width, cy + 6, cx - 6, cy + 6 + kMarkFont}};
        const Box* chosen = &places[0];
        for (const Box& place : places)
            if (place.left >= x && place.right <= x + size.width &&
                std::none_of(taken.begin(), taken.end(), [&](const Box& b) { return b.overlaps(place); })) {
                chosen = &place;
                break;
            }
        taken.push_back(*chosen);
        addText(group, chosen->left, chosen->bottom - 1, text, "markLabel");
    }

    // A bar of a round length near a quarter of the frame, under it.
    const double metres = roundStep(size.width / 4 / scale);
    const double barY = y + size.height + kBarGap;
    addLine(group, x, barY, x + metres * scale, barY, "scaleBar");
    addText(group, x + metres * scale + 6, barY + 4,
            metres >= 1000 ? tickText(metres / 1000, metres / 1000) + " km" : tickText(metres, metres) + " m",
            "markLabel");
}
