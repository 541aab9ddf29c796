// The overview page of a long history, made up: writes index.html of
// --exercises N (3000) exercises spread over --years Y (20) years into
// --output DIR, and prints its size and the time to write it. Open the page
// in a browser (README: "The overview page") to time its first paint.
// With --archive DIR it writes instead the raw files of such a history as
// the monitor software keeps them, for polarhost to convert: a folder per
// year of .hrm exercise files and the day diaries that give their sports.
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

#include "tests/shared/HrmText.h"
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
        const int64_t start =
            first + static_cast<int64_t>(i * spacing) + 3600 * static_cast<int64_t>(6 + unit(random) * 12);
        const int yy = 5 + static_cast<int>(i * years / count);
        const double seconds = sport.minutes * 60 * (0.4 + 1.4 * unit(random));
        OverviewExercise e;
        char file[48];
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

// The diary of a day of one exercise: its name, sport (the diary's number:
// 1 running, 2 cycling, 3 swimming by default), energy and exercise file.
std::string diaryText(const std::string& date, int start, int seconds, int sport, int energy, double metres,
                      const std::string& name, const std::string& file) {
    std::string text = "[DayInfo]\r\n100\t1\t1\t6\t1\t512\r\n" + date + "\t1\t0\t0\t0\t0\r\n\r\n\r\n";
    text += "[ExerciseInfo1]\r\n101\t1\t3\t6\t12\t512\r\n";
    text += "0\t0\t0\t0\t" + std::to_string(start) + "\t" + std::to_string(seconds) + "\r\n";
    text += std::to_string(sport) + "\t0\t0\t0\t0\t" + std::to_string(energy) + "\r\n";
    text += std::to_string(std::lround(metres)) + "\t0\t0\t0\t0\t0\r\n";
    for (const std::string& line : {name, std::string(), file}) text += line + "\r\n";
    for (int k = 3; k < 12; ++k) text += "\r\n";
    return text;
}

// An exercise a day on `count` days spread over `years` years from 2005:
// runs, rides and swims of 20 minutes to 3 hours, heart rate wandering
// about its own mean, speed and altitude where the sport has them.
void writeArchive(const std::string& folder, int count, int years) {
    std::mt19937 random(19980401);
    std::uniform_real_distribution<double> unit(0, 1);
    const int64_t first = *unixDays(2005, 1, 1);
    const struct {
        int diarySport;
        const char* smode;  // speed and altitude, or heart rate alone
        double kmh, minutes;
        const char* name;
    } sports[] = {{1, "101000000", 11, 50, "Run"}, {2, "101000000", 27, 110, "Ride"}, {3, "000000000", 0, 40, "Swim"}};
    int64_t previous = -1;
    for (int i = 0; i < count; ++i) {
        const int64_t day = std::max(previous + 1, first + static_cast<int64_t>(i * years * 365.25 / count));
        previous = day;
        const CivilDateTime date = civilFromSeconds(day * 86400);
        char yyyymmdd[16], file[32];
        std::snprintf(yyyymmdd, sizeof yyyymmdd, "%04d%02d%02d", date.year, date.month, date.day);
        std::snprintf(file, sizeof file, "%02d%02d%02d01.hrm", date.year % 100, date.month, date.day);
        const double pick = unit(random);
        const auto& sport = sports[pick < 0.5 ? 0 : pick < 0.85 ? 1 : 2];
        const int seconds = static_cast<int>(sport.minutes * 60 * (0.4 + 1.4 * unit(random))) / 5 * 5;
        const int start = 3600 * (6 + static_cast<int>(unit(random) * 13));
        const double mean = 115 + unit(random) * 45;
        Hrm hrm;
        hrm.smode = sport.smode;
        hrm.date = yyyymmdd;
        char clock[32];
        std::snprintf(clock, sizeof clock, "%02d:%02d:00.0", start / 3600, 0);
        hrm.startTime = clock;
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d.0", seconds / 3600, seconds / 60 % 60, seconds % 60);
        hrm.length = clock;
        hrm.maxHR = "190";
        const double kmh = sport.kmh * (0.85 + 0.3 * unit(random));
        hrm.madeRows = seconds / 5;
        const uint32_t seed = static_cast<uint32_t>(random());
        hrm.makeRow = [seed, mean, kmh, &sport](int64_t row) {
            const double t = static_cast<double>(row);
            const int rate = static_cast<int>(mean + 12 * std::sin(t / 40 + seed % 7) + (seed >> (row % 24) & 7));
            if (sport.kmh == 0) return tabbed({rate});
            const int altitude = static_cast<int>(200 + 60 * std::sin(t / 90 + seed % 5));
            return tabbed({rate, std::lround(kmh * 10 * (0.9 + 0.2 * std::sin(t / 17))), altitude});
        };
        const std::string year = folder + "/" + std::to_string(date.year);
        std::filesystem::create_directories(year);
        hrm.save(year + "/" + file);
        std::ofstream(year + "/" + yyyymmdd + ".pdd", std::ios::binary)
            << diaryText(yyyymmdd, start, seconds, sport.diarySport, seconds / 60 * 10, kmh * seconds / 3.6,
                         sport.name + std::string(" ") + std::to_string(i), file);
    }
    std::printf("%s: %d exercises over %d years\n", folder.c_str(), count, years);
}

}  // namespace

int main(int argc, char** argv) {
    int count = 3000, years = 20;
    std::string output = "overview-bench", archive;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exercises") == 0 && i + 1 < argc)
            count = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--years") == 0 && i + 1 < argc)
            years = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (std::strcmp(argv[i], "--archive") == 0 && i + 1 < argc)
            archive = argv[++i];
        else {
            std::fprintf(stderr, "usage: overviewbench [--exercises N] [--years Y] [--output DIR | --archive DIR]\n");
            return 2;
        }
    }
    if (!archive.empty()) {
        writeArchive(archive, count, years);
        return 0;
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
