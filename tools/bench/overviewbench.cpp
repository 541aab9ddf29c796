// The overview page of a long history, made up: writes index.html of
// --exercises N (3000) exercises spread over --years Y (20) years into
// --output DIR, and prints its size and the time to write it. Open the page
// in a browser (README: "The overview page") to time its first paint.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tools/host/time/CivilTime.h"
#include "tools/host/views/OverviewPage.h"

namespace {

struct SportShape {
    const char* name;
    double speed;  // m/s; 0 without distance
    double minutes;
};
constexpr SportShape kSports[] = {{"Running", 3.1, 50}, {"Cycling", 7.5, 110}, {"Swimming", 0, 40},
                                  {"Cross country skiing", 4.2, 80}, {"Other sport", 0, 45}};

std::vector<OverviewExercise> madeUp(int count, int years) {
    std::mt19937 random(20240512);
    std::uniform_real_distribution<double> unit(0, 1);
    const int64_t first = 1104537600;  // 2005-01-01
    const double spacing = years * 365.25 * 86400 / count;
    std::vector<OverviewExercise> exercises;
    for (int i = 0; i < count; ++i) {
        const double pick = unit(random);
        const SportShape& sport = kSports[pick < 0.45 ? 0 : pick < 0.75 ? 1 : pick < 0.85 ? 2 : pick < 0.93 ? 3 : 4];
        const int64_t start = first + static_cast<int64_t>(i * spacing) + 3600 * static_cast<int64_t>(6 + unit(random) * 12);
        const int yy = 5 + static_cast<int>(i * years / count);
        const double seconds = sport.minutes * 60 * (0.4 + 1.4 * unit(random));
        OverviewExercise e;
        char file[32];
        std::snprintf(file, sizeof file, "%04d/%02d%06d", 2000 + yy, yy, i);
        e.name = std::string(sport.name) + " " + std::to_string(i);
        e.source = std::string(file + 5) + ".hrm";
        e.key = std::string(file) + ".hrm";
        e.sport = sport.name;
        e.start = start;
        e.startText = isoDateTime(start, "").substr(0, 16);
        e.startText[10] = ' ';
        e.duration = seconds;
        if (sport.speed > 0) e.distance = seconds * sport.speed * (0.85 + 0.3 * unit(random));
        if (sport.speed > 0) e.ascent = std::round(e.distance.value() / 1000 * 12 * unit(random));
        e.energy = static_cast<int>(seconds / 60 * 11);
        if (unit(random) < 0.92) {
            const int average = 120 + static_cast<int>(unit(random) * 40);
            e.averageHeartRate = average;
            e.maximumHeartRate = average + 15 + static_cast<int>(unit(random) * 20);
            double share[5], sum = 0;
            for (double& s : share) sum += s = unit(random) * unit(random);
            for (double s : share) e.zoneSeconds.push_back(seconds * s / sum);
            e.zoneSource = "50, 60, 70, 80 and 90 % of the maximum heart rate 190 (made up)";
            e.load = seconds / 60 * (0.64 * std::exp(1.92 * (average - 60) / 130.0)) * (average - 60) / 130.0;
        }
        e.files = {std::string(file) + ".svg", std::string(file) + ".fit", std::string(file) + ".tcx"};
        exercises.push_back(std::move(e));
    }
    return exercises;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 3000, years = 20;
    std::string output = "overview-bench";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exercises") == 0 && i + 1 < argc)
            count = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--years") == 0 && i + 1 < argc)
            years = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc)
            output = argv[++i];
        else {
            std::fprintf(stderr, "usage: overviewbench [--exercises N] [--years Y] [--output DIR]\n");
            return 2;
        }
    }
    std::filesystem::create_directories(output);
    const std::string page = output + "/index.html";
    const std::vector<OverviewExercise> exercises = madeUp(count, years);
    const auto begin = std::chrono::steady_clock::now();
    {
        std::ofstream out(page, std::ios::binary);
        writeOverviewPage(exercises, out);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("%s: %d exercises over %d years, %.2f MB, written in %.3f s\n", page.c_str(), count, years,
                static_cast<double>(std::filesystem::file_size(page)) / 1e6, seconds);
    return 0;
}
