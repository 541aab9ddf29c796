#include "GpxMerge.h"

#include <cctype>
#include <string_view>

#include "framework/Locale.h"
#include "framework/Xml.h"
#include "processing/DebugFlags.h"

namespace {

struct GpsPoint {
    double latitude = 0;
    double longitude = 0;
    fw::DateTime time = 0;
};

bool sameNameIgnoringCase(const char* name, const char* wanted) {
    for (; *name && *wanted; ++name, ++wanted)
        if (std::tolower(static_cast<unsigned char>(*name)) != std::tolower(static_cast<unsigned char>(*wanted)))
            return false;
    return *name == *wanted;
}

double coordinate(const fw::XmlElement& point, const char* name) {
    std::string text;
    double value = 0;
    if (!point.attribute(name, text) || !fw::tryStrToFloat(text, fw::decimalSeparator(), value)) return 0;
    return value;
}

fw::DateTime pointTime(const fw::XmlElement& point) {
    for (fw::XmlElement child = point.firstChild(); child; child = child.nextSibling()) {
        if (!sameNameIgnoringCase(child.name(), "time")) continue;
        std::string text;
        if (!child.onlyText(text)) text.clear();
        try {
            return ParseGpxTime(text);
        } catch (const fw::ConvertError&) {
            return 0;
        }
    }
    return 0;
}

// Every point of every segment of every track, in document order, to
// `take` until it returns false. Points go straight from the document to the
// samples: a list of them would be one more allocation as large as the track.
template <typename Take>
void readTrack(const fw::XmlDocument& document, Take take) {
    // Track numbers use '.' whatever the user's locale.
    fw::DecimalSeparatorScope dot('.');
    for (fw::XmlElement track = document.root().firstChild(); track; track = track.nextSibling()) {
        if (std::string_view(track.name()) != "trk") continue;
        for (fw::XmlElement segment = track.firstChild(); segment; segment = segment.nextSibling()) {
            if (!sameNameIgnoringCase(segment.name(), "trkseg")) continue;
            for (fw::XmlElement point = segment.firstChild(); point; point = point.nextSibling()) {
                if (!sameNameIgnoringCase(point.name(), "trkpt")) continue;
                if (!take(GpsPoint{coordinate(point, "lat"), coordinate(point, "lon"), pointTime(point)})) return;
            }
        }
    }
}

// Forward matching of points to samples: the first sample from the cursor
// on whose time offset equals the point's time takes the point's position
// one sample later. Time offsets rise with the interval, so the match is
// found by binary search; offsets that wrapped round fall back to a scan.
class Aligner {
public:
    Aligner(TMyHRMDatas& datas, bool ignoreTime) : datas_(datas), count_(datas.Count()), ignoreTime_(ignoreTime) {
        for (int32_t j = 1; j < count_ && ascending_; ++j)
            ascending_ = datas_.GetTimeOffset(j - 1) <= datas_.GetTimeOffset(j);
    }

    void place(const GpsPoint& point, int32_t time) {
        const int32_t match = ignoreTime_ ? cursor_ : find(time);
        if (match < 0) return;
        cursor_ = match + 1;
        if (cursor_ > count_ - 1) return;
        datas_.SetLatitude(cursor_, point.latitude);
        datas_.SetLongitude(cursor_, point.longitude);
    }

private:
    int32_t find(int32_t time) const {
        if (cursor_ >= count_) return -1;
        if (!ascending_) {
            for (int32_t j = cursor_; j < count_; ++j)
                if (datas_.GetTimeOffset(j) == time) return j;
            return -1;
        }
        int32_t low = cursor_, high = count_;
        while (low < high) {
            const int32_t middle = low + (high - low) / 2;
            if (datas_.GetTimeOffset(middle) < time)
                low = middle + 1;
            else
                high = middle;
        }
        return low < count_ && datas_.GetTimeOffset(low) == time ? low : -1;
    }

    TMyHRMDatas& datas_;
    const int32_t count_;
    const bool ignoreTime_;
    bool ascending_ = true;
    int32_t cursor_ = 0;
};

}  // namespace

fw::DateTime ParseGpxTime(const std::string& raw) {
    if (raw.empty()) return 0;
    size_t begin = 0, end = raw.size();
    while (begin < end && static_cast<unsigned char>(raw[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(raw[end - 1]) <= ' ') --end;
    const std::string_view text = std::string_view(raw).substr(begin, end - begin);
    int32_t year = 0, month = 0, day = 0, hours = 0, minutes = 0, seconds = 0;
    if (!fw::tryStrToInt(fw::midText(text, 1, 4), year) || !fw::tryStrToInt(fw::midText(text, 6, 2), month) ||
        !fw::tryStrToInt(fw::midText(text, 9, 2), day))
        year = month = day = 0;
    if (!fw::tryStrToInt(fw::midText(text, 12, 2), hours) || !fw::tryStrToInt(fw::midText(text, 15, 2), minutes) ||
        !fw::tryStrToInt(fw::midText(text, 18, 2), seconds))
        hours = minutes = seconds = 0;
    return fw::encodeDate(year, month, day) + fw::encodeTime(hours, minutes, seconds, 0);
}

void MergeGpxTrack(TPluginState& plugin, const std::string& path) {
    fw::XmlDocument document;
    if (!document.load(path)) return;
    TMyHRMDatas& datas = plugin.ExerciseDatas;
    const int32_t count = datas.Count();
    Aligner aligner(datas, plugin.Settings.GPSITime);
    // At most Count() - 1 points take part: sample 0 never receives one.
    int32_t taking = count > 1 ? count - 1 : 0;
    readTrack(document, [&](const GpsPoint& point) {
        if (taking == 0) return false;
        --taking;
        aligner.place(point, fw::secondsOfDay(point.time - plugin.Summary.StartDateTime));
        return true;
    });
    if (plugin.Settings.Debug) plugin.DebugFlags |= debug_flags::kGpxParsed;
}
