#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <vector>

// The route of an exercise drawn to scale, north up, in a plain projection
// that keeps distances right at the route's latitude: metres north, and
// metres east at the latitude of the first position. The positions are
// taken as they stream by and thinned whenever too many are kept, so the
// sketch stays small however long the exercise.
class RouteSketch {
public:
    // Positions off the globe are left out.
    void add(double latitude, double longitude);
    // Lap `number` ended at the position added last (none before the first).
    void markLapEnd(int number);

    bool empty() const { return kept_.empty(); }
    // The points kept, at most: none closer to the one before than a
    // fraction of a pixel of the drawing.
    static constexpr size_t kMostKept = 4096;

    // The drawing's size within `maxWidth` by `maxHeight`, its sides in the route's proportions.
    struct Size {
        double width, height;
    };
    Size fit(double maxWidth, double maxHeight) const;
    // The route in a frame of `size` at `x`, `y`, its title above: start,
    // finish and lap ends marked, a scale bar below, within `kBelow` pixels.
    void draw(pugi::xml_node parent, double x, double y, Size size) const;
    static constexpr double kBelow = 20;

private:
    struct Point {
        double east, north;  // metres from the first position
    };
    struct Mark {
        Point at;
        std::string label;
    };
    Point project(double latitude, double longitude) const;
    double extentEast() const;
    double extentNorth() const;
    void thin();

    bool started_ = false;
    double latitude0_ = 0, longitude0_ = 0, metresPerDegreeEast_ = 0;
    std::vector<Point> kept_;
    Point last_{0, 0};  // drawn whether kept or not: the finish
    double west_ = 0, east_ = 0, south_ = 0, north_ = 0;
    double tolerance_ = 0;  // metres between kept points, at least
    std::vector<Mark> laps_;
};
