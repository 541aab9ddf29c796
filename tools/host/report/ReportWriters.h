#pragma once

#include <memory>
#include <optional>
#include <ostream>

#include "tools/host/driver/HostDriver.h"
#include "tools/host/recording/RecordedSport.h"

enum class ReportFormat { Table, Csv, Json };

// table: for people (summary with dates as text, laps, first and last five
//        samples per exercise);
// csv:   one row per sample, after a header line;
// json:  one document {"files":[{"file","exercises":[{"index","sampleCount",
//        "sport","note","diary","summary","laps","samples"}]}]} with the
//        record field names and values exactly as the records hold them
//        (summary null when the plug-in handed none, and sport when it handed
//        no sample; diary only where the exercise's folder keeps a day diary
//        that lists it: {"file","section","name","note","sport","energy"}).
// Each exercise's sport is the one the converter gives it, by `sports`; the
// table and JSON show the diary's sport number beside it.
// `utf8Text`: the table shows the plug-in's texts (ANSI code page, taken as
// Latin-1) in UTF-8; otherwise bytes pass as they are. CSV and JSON keep the
// bytes (JSON escapes them) whatever the terminal.
std::unique_ptr<ReportWriter> makeReportWriter(ReportFormat format, std::ostream& out, bool utf8Text = false,
                                               const SportRule& sports = {});
