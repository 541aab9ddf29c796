#pragma once

#include <cstdint>

#include "model/HostRecords.h"

// The fields of the host records that the reports show, by their record
// names and in record order. `visit(name, value)` gets an int64_t for the
// integer fields and a double for the floats. Members of the packed records
// are copied out, never referenced.

template <typename Visit>
void forEachField(const ExerciseSummary& s, Visit&& visit) {
    visit("StartDateTime", double{s.StartDateTime});
    visit("EndDateTime", double{s.EndDateTime});
    visit("MaxHR", int64_t{s.MaxHR});
    visit("TotalDistance", double{s.TotalDistance});
    visit("TripMaxSpeed", int64_t{s.TripMaxSpeed});
    visit("TripAvgSpeed", int64_t{s.TripAvgSpeed});
    visit("TripMaxAltitude", double{s.TripMaxAltitude});
    visit("TripAscent", int64_t{s.TripAscent});
    visit("LapCount", int64_t{s.LapCount});
    visit("DurationSec", int64_t{s.DurationSec});
    visit("MonitorType", int64_t{s.MonitorType});
    visit("IntervalSec", int64_t{s.IntervalSec});
    visit("VO2max", int64_t{s.VO2max});
}

template <typename Visit>
void forEachField(const LapRecord& l, Visit&& visit) {
    visit("LapEndOfDay", int64_t{l.LapEndOfDay});
    visit("LapDuration", double{l.LapDuration});
    visit("LapSplit", double{l.LapSplit});
    visit("LapMaxHR", int64_t{l.LapMaxHR});
    visit("LapAvgHR", int64_t{l.LapAvgHR});
    visit("LapSpeed", double{l.LapSpeed});
    visit("LapCadence", int64_t{l.LapCadence});
    visit("LapTemperature", double{l.LapTemperature});
    visit("LapPower", double{l.LapPower});
    visit("LapAscent", double{l.LapAscent});
    visit("LapMarker", int64_t{l.LapMarker});
}

// SampleText is left out: nothing in the plug-in fills it.
template <typename Visit>
void forEachField(const SampleRecord& r, Visit&& visit) {
    visit("HR", int64_t{r.HR});
    visit("Distance", double{r.Distance});
    visit("Speed", double{r.Speed});
    visit("Altitude", double{r.Altitude});
    visit("Temperature", double{r.Temperature});
    visit("Power", double{r.Power});
    visit("Balance", double{r.Balance});
    visit("Cadence", int64_t{r.Cadence});
    visit("Latitude", double{r.Latitude});
    visit("Longitude", double{r.Longitude});
    visit("TimeOffset", int64_t{r.TimeOffset});
    visit("SampleFlag", int64_t{r.SampleFlag});
}
