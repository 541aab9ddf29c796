#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "model/cExerciseDatas.h"

namespace {

// Every getter at one index reads 0 (or the empty text).
void expectZeroSample(const TMyHRMDatas& datas, int32_t i) {
    EXPECT_EQ(datas.GetHR(i), 0);
    EXPECT_EQ(datas.GetSpeed(i), 0);
    EXPECT_EQ(datas.GetDistance(i), 0);
    EXPECT_EQ(datas.GetAltitude(i), 0);
    EXPECT_EQ(datas.GetTemperature(i), 0);
    EXPECT_EQ(datas.GetPower(i), 0);
    EXPECT_EQ(datas.GetBalance(i), 0);
    EXPECT_EQ(datas.GetCadence(i), 0);
    EXPECT_EQ(datas.GetLatitude(i), 0);
    EXPECT_EQ(datas.GetLongitude(i), 0);
    EXPECT_EQ(datas.GetTimeOffset(i), 0);
    EXPECT_EQ(datas.GetSampleText(i), "");
    EXPECT_EQ(datas.GetSampleFlag(i), 0);
}

}  // namespace

TEST(ExerciseDatas_growth, freshContainerIsEmptyWithRoomFor5000) {
    TMyHRMDatas datas;
    EXPECT_EQ(datas.Count(), 0);
    EXPECT_EQ(datas.Capacity(), 5000);
    expectZeroSample(datas, 0);
    expectZeroSample(datas, 4999);
}

TEST(ExerciseDatas_growth, firstWriteCountsOneAndLeavesOtherSeriesZero) {
    TMyHRMDatas datas;
    datas.SetHR(0, 150);
    EXPECT_EQ(datas.Count(), 1);
    EXPECT_EQ(datas.GetHR(0), 150);
    EXPECT_EQ(datas.GetSpeed(0), 0);
}

TEST(ExerciseDatas_growth, capacityGrowsTo5000BeyondTheHighestIndex) {
    struct Case {
        int32_t index;
        int32_t capacity;
    };
    // Room reserved beforehand changes none of it.
    for (const size_t reserved : {size_t{0}, size_t{30000}}) {
        for (const Case c : {Case{4999, 5000}, Case{5000, 10000}, Case{7000, 12000}, Case{20000, 25000}}) {
            TMyHRMDatas datas;
            datas.Reserve(reserved);
            datas.SetCadence(c.index, 90);
            EXPECT_EQ(datas.Count(), c.index + 1) << c.index;
            EXPECT_EQ(datas.Capacity(), c.capacity) << c.index;
            EXPECT_EQ(datas.GetCadence(c.index), 90);
            expectZeroSample(datas, c.index - 1);
            if (c.index + 1 < c.capacity) expectZeroSample(datas, c.capacity - 1);
        }
    }
}

TEST(ExerciseDatas_growth, ascendingWritesKeepEarlierValues) {
    TMyHRMDatas datas;
    for (int32_t i = 0; i < 12000; ++i) datas.SetTimeOffset(i, i * 5);
    EXPECT_EQ(datas.Count(), 12000);
    EXPECT_EQ(datas.Capacity(), 15000);
    EXPECT_EQ(datas.GetTimeOffset(4999), 4999 * 5);
    EXPECT_EQ(datas.GetTimeOffset(11999), 11999 * 5);
}

TEST(ExerciseDatas_growth, lowerIndexDoesNotChangeCount) {
    TMyHRMDatas datas;
    for (int32_t i = 0; i < 10; ++i) datas.SetHR(i, 100);
    datas.SetPower(3, 200.0);
    EXPECT_EQ(datas.Count(), 10);
    EXPECT_EQ(datas.GetPower(3), 200.0);
}

TEST(ExerciseDatas_growth, clearReturnsToTheFreshState) {
    TMyHRMDatas datas;
    for (int32_t i = 0; i < 20000; ++i) {
        datas.SetHR(i, 1), datas.SetSpeed(i, 2), datas.SetDistance(i, 3), datas.SetAltitude(i, 4);
        datas.SetTemperature(i, 5), datas.SetPower(i, 6), datas.SetBalance(i, 7), datas.SetCadence(i, 8);
        datas.SetLatitude(i, 9), datas.SetLongitude(i, 10), datas.SetTimeOffset(i, 11);
    }
    datas.Clear();
    EXPECT_EQ(datas.Count(), 0);
    EXPECT_EQ(datas.Capacity(), 5000);
    expectZeroSample(datas, 0);
    expectZeroSample(datas, 4999);
    // Growing again brings back none of the values written before.
    datas.SetHR(19999, 1);
    expectZeroSample(datas, 5000);
    expectZeroSample(datas, 19998);
}

TEST(LapList_records, addCopiesAndGetReturnsTheBytesAsAdded) {
    TLapClass laps;
    TLapClass::Record first{}, second{};
    for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<uint8_t>(i), second[i] = static_cast<uint8_t>(255 - i);
    EXPECT_EQ(laps.Add(first.data()), 0);
    EXPECT_EQ(laps.Add(second.data()), 1);
    first.fill(0xAA);  // the list holds its own copy
    TLapClass::Record out{};
    laps.Get(0, out.data());
    for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], static_cast<uint8_t>(i));
    laps.Get(1, out.data());
    EXPECT_EQ(out, second);
    EXPECT_EQ(laps.Count(), 2);
    laps.Clear();
    EXPECT_EQ(laps.Count(), 0);
}

TEST(LapList_records, getOutsideTheListThrowsAndWritesNothing) {
    TLapClass laps;
    TLapClass::Record record{};
    laps.Add(record.data());
    TLapClass::Record out;
    out.fill(0x5A);
    for (int32_t index : {-1, 1, 1000}) EXPECT_THROW(laps.Get(index, out.data()), LapIndexError) << index;
    EXPECT_EQ(out[0], 0x5A);
}
