#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <string>
#include <vector>

// Exercise files (.hrm) as the monitor software writes them, made to measure
// for every test program and the benchmark.

// The lines, each ended by CR LF as the monitor software ends them.
std::string crlfText(const std::vector<std::string>& lines);

// Whole numbers separated by TABs: a sample row or a row of a lap.
std::string tabbed(std::initializer_list<int64_t> values);

// One lap of "[IntTimes]": split time and heart rates in the first row,
// speed (tenths), cadence and altitude in the second, ascent in the third,
// from version 106 on power and temperature (tenths) in the fourth and a
// fifth row of zeros. Every column these fields do not name is 0.
struct HrmLap {
    std::string split;  // time since the start at the lap's end, "h:mm:ss.t"
    int heartRate = 0, minimum = 0, average = 0, maximum = 0;  // at the lap's end, lowest, average, highest
    int speed = 0, cadence = 0, altitude = 0;
    int ascent = 0;
    int power = 0, temperature = 0;

    // Five rows, or the first three for versions before 106.
    std::vector<std::string> lines(int rows = 5) const;
};

// Lap rows of the average and maximum heart rate, speed, power and temperature alone.
std::vector<std::string> lapLines(const std::string& split, int hrAverage, int hrMaximum, int speed, int power,
                                  int temperature);

// An .hrm file: the parameter keys (an empty value leaves its line out), an
// empty line, further lines before the samples, then "[HRData]" and the rows.
struct Hrm {
    std::string version = "106";
    std::string monitor = "12";
    std::string smode = "000000000";
    std::string date = "20240501";
    std::string startTime = "10:00:00.0";
    std::string length = "00:10:00.0";
    std::string interval = "5";
    std::string maxHR, startDelay, vo2max;
    std::vector<std::string> sections;  // lines between the parameters and the samples
    std::vector<std::string> rows;
    // Rows made while the file is written, after `rows`: makeRow(0) to
    // makeRow(madeRows - 1), for files too long to hold in memory.
    int64_t madeRows = 0;
    std::function<std::string(int64_t)> makeRow;

    std::vector<std::string> lines() const;
    std::string text() const;
    // Throws std::runtime_error when the file cannot be written.
    void save(const std::string& path) const;

    // Appends `count` rows of heart rates first, first + 1, ...
    Hrm& heartRates(int count, int first = 100);
    // Append a section and the empty line after it.
    Hrm& note(const std::string& text);
    Hrm& laps(const std::vector<HrmLap>& laps, int rowsPerLap = 5);
    Hrm& trip(std::initializer_list<int64_t> values);

private:
    std::vector<std::string> head() const;  // the lines up to "[HRData]"
    void write(std::ostream& out) const;
};
