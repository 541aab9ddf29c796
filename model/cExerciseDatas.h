#pragma once

#include <array>
#include <map>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/HostRecords.h"

// The one exercise being analysed: per-sample series indexed by sample
// number, and the laps as fixed 122-byte host records.

// Sample series. All have the same capacity; capacity grows to 5000 beyond
// the highest index written, and only Clear() shrinks it.
class TMyHRMDatas {
public:
    static constexpr int32_t kGrowth = 5000;
    // The most samples whose memory a cleared container keeps for the next
    // exercise: more than a day at 1 s, about 9 MB.
    static constexpr size_t kKeptSamples = 131072;

    TMyHRMDatas();

    void Clear();
    // Makes `index` (>= 0) valid for writing; called by every setter.
    void Grow(int32_t index);
    // Room for `count` samples, so that writing them moves no series;
    // Capacity() stays as it is. Only a speed-up: without the memory for it,
    // the series grow step by step as before.
    void Reserve(size_t count);
    int32_t Count() const { return HighIndex + 1; }
    int32_t Capacity() const { return static_cast<int32_t>(HR.size()); }

    // Getters need 0 <= index < Capacity(); they do not check.
    uint8_t GetHR(int32_t i) const { return HR[static_cast<size_t>(i)]; }
    double GetSpeed(int32_t i) const { return Speed[static_cast<size_t>(i)]; }
    double GetDistance(int32_t i) const { return Distance[static_cast<size_t>(i)]; }
    double GetAltitude(int32_t i) const { return Altitude[static_cast<size_t>(i)]; }
    double GetTemperature(int32_t i) const { return Temperature[static_cast<size_t>(i)]; }
    double GetPower(int32_t i) const { return Power[static_cast<size_t>(i)]; }
    double GetBalance(int32_t i) const { return Balance[static_cast<size_t>(i)]; }
    uint8_t GetCadence(int32_t i) const { return Cadence[static_cast<size_t>(i)]; }
    double GetLatitude(int32_t i) const { return Latitude[static_cast<size_t>(i)]; }
    double GetLongitude(int32_t i) const { return Longitude[static_cast<size_t>(i)]; }
    int32_t GetTimeOffset(int32_t i) const { return TimeOffset[static_cast<size_t>(i)]; }
    std::string GetSampleText(int32_t i) const {
        const auto found = SampleText.find(i);
        return found == SampleText.end() ? std::string() : found->second;
    }
    uint8_t GetSampleFlag(int32_t i) const { return SampleFlag[static_cast<size_t>(i)]; }

    // Setters need index >= 0.
    void SetHR(int32_t i, uint8_t v) { Grow(i), HR[static_cast<size_t>(i)] = v; }
    void SetSpeed(int32_t i, double v) { Grow(i), Speed[static_cast<size_t>(i)] = v; }
    void SetDistance(int32_t i, double v) { Grow(i), Distance[static_cast<size_t>(i)] = v; }
    void SetAltitude(int32_t i, double v) { Grow(i), Altitude[static_cast<size_t>(i)] = v; }
    void SetTemperature(int32_t i, double v) { Grow(i), Temperature[static_cast<size_t>(i)] = v; }
    void SetPower(int32_t i, double v) { Grow(i), Power[static_cast<size_t>(i)] = v; }
    void SetBalance(int32_t i, double v) { Grow(i), Balance[static_cast<size_t>(i)] = v; }
    void SetCadence(int32_t i, uint8_t v) { Grow(i), Cadence[static_cast<size_t>(i)] = v; }
    void SetLatitude(int32_t i, double v) { Grow(i), Latitude[static_cast<size_t>(i)] = v; }
    void SetLongitude(int32_t i, double v) { Grow(i), Longitude[static_cast<size_t>(i)] = v; }
    void SetTimeOffset(int32_t i, int32_t v) { Grow(i), TimeOffset[static_cast<size_t>(i)] = v; }

private:
    // Calls `action` with every series that has one value per sample.
    template <typename Action>
    void ForEachSeries(Action action);
    void Resize(size_t length);

    std::vector<uint8_t> HR;
    std::vector<double> Distance;
    std::vector<double> Speed;
    std::vector<double> Altitude;
    std::vector<double> Temperature;
    std::vector<double> Power;
    std::vector<double> Balance;
    std::vector<uint8_t> Cadence;
    std::vector<double> Latitude;
    std::vector<double> Longitude;
    // Nothing in the plug-in writes sample texts, so they are kept sparse:
    // an index without an entry reads as the empty text.
    std::map<int32_t, std::string> SampleText;
    std::vector<int32_t> TimeOffset;
    std::vector<uint8_t> SampleFlag;
    int32_t HighIndex = -1;
};

// Raised by TLapClass::Get for an index outside the list.
class LapIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// Laps in file order, each a separately owned block in the host's lap
// record layout; the list never looks inside a record.
class TLapClass {
public:
    static constexpr size_t kRecordSize = sizeof(LapRecord);
    using Record = std::array<uint8_t, kRecordSize>;

    TLapClass() = default;
    ~TLapClass() { Clear(); }

    void Clear();
    int32_t Count() const { return static_cast<int32_t>(Laps.size()); }
    // Copies the record in and returns the new lap's index.
    int32_t Add(const void* record);
    // Copies the stored record out; throws LapIndexError outside 0..Count()-1.
    void Get(int32_t index, void* record) const;

private:
    std::vector<std::unique_ptr<Record>> Laps;
};
