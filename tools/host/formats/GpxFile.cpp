// GPX 1.1 with Garmin's TrackPointExtension v1 for heart rate, cadence and
// air temperature.
#include <string>

#include "tools/host/formats/Formats.h"
#include "tools/host/formats/XmlOutput.h"
#include "tools/host/time/CivilTime.h"

namespace {

constexpr char kGpxNamespace[] = "http://www.topografix.com/GPX/1/1";
constexpr char kTrackPointExtension[] = "http://www.garmin.com/xmlschemas/TrackPointExtension/v1";

void appendTrackPoint(std::string& out, const TrackPoint& p) {
    out += "<trkpt lat=\"";
    appendNumber(out, p.latitude, 8);
    out += "\" lon=\"";
    appendNumber(out, p.longitude, 8);
    out += "\">";
    if (p.altitude) appendNumberElement(out, "ele", *p.altitude, 2);
    out += "<time>";
    out += isoDateTime(p.time, "Z");
    out += "</time>";
    if (p.temperature || p.heartRate || p.cadence) {
        // The extension's own order: atemp, hr, cad.
        out += "<extensions><gpxtpx:TrackPointExtension>";
        if (p.temperature) appendNumberElement(out, "gpxtpx:atemp", *p.temperature, 1);
        if (p.heartRate) out += "<gpxtpx:hr>" + std::to_string(*p.heartRate) + "</gpxtpx:hr>";
        if (p.cadence) out += "<gpxtpx:cad>" + std::to_string(*p.cadence) + "</gpxtpx:cad>";
        out += "</gpxtpx:TrackPointExtension></extensions>";
    }
    out += "</trkpt>\n";
}

}  // namespace

void writeGpx(const Track& track, std::ostream& out) {
    pugi::xml_document document;
    addComment(document, track.provenance());
    pugi::xml_node root = document.append_child("gpx");
    root.append_attribute("version").set_value("1.1");
    root.append_attribute("creator").set_value("polarhost");
    root.append_attribute("xmlns").set_value(kGpxNamespace);
    root.append_attribute("xmlns:gpxtpx").set_value(kTrackPointExtension);
    const std::string name = xmlText(track.name().empty() ? track.origin().rawFile : track.name());
    pugi::xml_node metadata = root.append_child("metadata");
    metadata.append_child("name").text().set(name.c_str());
    if (!track.note().empty()) metadata.append_child("desc").text().set(xmlText(track.note()).c_str());
    metadata.append_child("time").text().set(isoDateTime(track.startTime(), "Z").c_str());
    pugi::xml_node trk = root.append_child("trk");
    trk.append_child("name").text().set(name.c_str());
    addSlot(trk.append_child("trkseg"));
    const XmlShell file = printAround(document, true);

    out << file.head << '\n';
    std::string text;
    for (int32_t j = 0; j < track.size(); ++j) {
        const TrackPoint point = track.point(j);
        if (!point.hasPosition) continue;
        text.clear();
        appendTrackPoint(text, point);
        out << text;
    }
    out << file.tail << '\n';
}
