#pragma once

// What the tests of converted files share: the host converting into folder
// `out`, and the independent readers of what it wrote (gpsbabel, Garmin's
// FIT SDK, xmllint with the published schemas, which every TCX and GPX file
// of `out` must pass when the test ends).
#include <map>
#include <string>
#include <vector>

#include "tests/host/HostFixture.h"
#include "tests/host/MiniJson.h"

using Row = std::map<std::string, std::string>;

// Degrees as FIT's semicircles, the way the SDK reports positions.
double semicircles(double degrees);

// An R-R recording on 2024-05-12: its rows are the milliseconds between beats.
std::string rrText(const std::string& start, const std::vector<std::string>& rows);

class ConvertFixture : public Host {
protected:
    void SetUp() override;
    void TearDown() override;

    // The host converting `arguments` into folder `out` as `format` ("fit,tcx"
    // for several); fails the test on a status other than `expected`.
    HostRun convert(const std::string& format, std::vector<std::string> arguments, int expected = 0,
                    const std::string& environment = "") const;
    // The rows gpsbabel reads from a TCX ("gtrnctr") or GPX file, by column name.
    std::vector<Row> gpsbabel(const std::string& format, const std::string& file) const;
    // The FIT SDK's decoding: its integrity check must pass without errors.
    Json fit(const std::string& file) const;
    // Every interval of the hrv messages, in order; the last message's filling left out.
    static std::vector<double> hrvIntervals(const Json& messages);
    void expectWellFormed(const std::string& file) const;

private:
    void expectSchemaValid(const std::string& extension, const std::string& schema) const;
};
