// Training Center Database v2, the order of elements as its schema gives it.
#include <string>

#include "tools/host/formats/Formats.h"
#include "tools/host/formats/XmlOutput.h"
#include "tools/host/time/CivilTime.h"
#include "tools/host/track/LapFigures.h"

namespace {

constexpr char kTcxNamespace[] = "http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2";
constexpr char kActivityExtension[] = "http://www.garmin.com/xmlschemas/ActivityExtension/v2";
constexpr char kSchemaInstance[] = "http://www.w3.org/2001/XMLSchema-instance";

void addText(pugi::xml_node parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

void addHeartRate(pugi::xml_node parent, const char* name, int bpm) {
    addText(parent.append_child(name), "Value", std::to_string(bpm));
}

// major x 100 + minor x 10 + patch as a Version_t.
void addVersion(pugi::xml_node parent, int32_t version) {
    pugi::xml_node node = parent.append_child("Version");
    addText(node, "VersionMajor", std::to_string(version / 100));
    addText(node, "VersionMinor", std::to_string(version / 10 % 10));
    addText(node, "BuildMajor", std::to_string(version % 10));
    addText(node, "BuildMinor", "0");
}

// The monitor that recorded the exercise: its model where the "Monitor="
// code is known, the raw file's own number as the unit, the code as the
// product, and no version, which the file does not give.
void addCreator(pugi::xml_node activity, const TrackOrigin& origin) {
    pugi::xml_node creator = activity.append_child("Creator");
    creator.append_attribute("xsi:type").set_value("Device_t");
    addText(creator, "Name", origin.monitorModel.empty() ? "Polar" : "Polar " + origin.monitorModel);
    addText(creator, "UnitId", std::to_string(origin.serialNumber));
    addText(creator, "ProductID", std::to_string(origin.monitor > 0 && origin.monitor <= 0xFFFF ? origin.monitor : 0));
    pugi::xml_node version = creator.append_child("Version");
    addText(version, "VersionMajor", "0");
    addText(version, "VersionMinor", "0");
}

// This converter, which wrote the file; it has no part number of its own.
void addAuthor(pugi::xml_node root, const TrackOrigin& origin) {
    pugi::xml_node author = root.append_child("Author");
    author.append_attribute("xsi:type").set_value("Application_t");
    addText(author, "Name", "polarhost");
    addVersion(author.append_child("Build"), origin.converterVersion);
    addText(author, "LangID", "en");
    addText(author, "PartNumber", "000-00000-00");
}

// The schema's three sports.
const char* tcxSport(Sport sport) {
    if (sport == Sport::Running) return "Running";
    if (sport == Sport::Cycling) return "Biking";
    return "Other";
}

void appendTrackpoint(std::string& out, const TrackPoint& p) {
    out += "<Trackpoint><Time>";
    out += isoDateTime(p.time, "Z");
    out += "</Time>";
    if (p.hasPosition) {
        out += "<Position><LatitudeDegrees>";
        appendNumber(out, p.latitude, 8);
        out += "</LatitudeDegrees><LongitudeDegrees>";
        appendNumber(out, p.longitude, 8);
        out += "</LongitudeDegrees></Position>";
    }
    if (p.altitude) appendNumberElement(out, "AltitudeMeters", *p.altitude, 2);
    if (p.distance) appendNumberElement(out, "DistanceMeters", *p.distance, 2);
    // The schema allows 1 to 255 beats and cadences up to 254.
    if (p.heartRate) out += "<HeartRateBpm><Value>" + std::to_string(*p.heartRate) + "</Value></HeartRateBpm>";
    if (p.cadence && *p.cadence <= 254) out += "<Cadence>" + std::to_string(*p.cadence) + "</Cadence>";
    if (p.speed || p.power) {
        out += "<Extensions><TPX xmlns=\"";
        out += kActivityExtension;
        out += "\">";
        if (p.speed) appendNumberElement(out, "Speed", *p.speed, 3);
        if (p.power) appendNumberElement(out, "Watts", *p.power, 0);
        out += "</TPX></Extensions>";
    }
    out += "</Trackpoint>\n";
}

// A Lap without its Trackpoints, which go into the slot of its Track; no
// Track where the lap has no sample, since a Track needs one. The schema
// demands a distance and the energy: 0 where none was measured.
XmlShell lapShell(const TrackLap& lap, const Figures& f) {
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("Lap");
    node.append_attribute("StartTime").set_value(isoDateTime(lap.start, "Z").c_str());
    addText(node, "TotalTimeSeconds", numberWith(f.time, 1));
    addText(node, "DistanceMeters", numberWith(f.distance.value_or(0), 2));
    if (f.maximumSpeed) addText(node, "MaximumSpeed", numberWith(*f.maximumSpeed, 3));
    addText(node, "Calories", std::to_string(lap.calories.value_or(0)));
    if (f.averageHeartRate) addHeartRate(node, "AverageHeartRateBpm", *f.averageHeartRate);
    if (f.maximumHeartRate) addHeartRate(node, "MaximumHeartRateBpm", *f.maximumHeartRate);
    addText(node, "Intensity", "Active");
    if (f.averageCadence && *f.averageCadence <= 254) addText(node, "Cadence", std::to_string(*f.averageCadence));
    addText(node, "TriggerMethod", "Manual");
    if (lap.endSample > lap.firstSample)
        addSlot(node.append_child("Track"));
    else
        addSlot(node);
    if (f.averageSpeed || f.averagePower || f.maximumPower) {
        pugi::xml_node extension = node.append_child("Extensions").append_child("LX");
        extension.append_attribute("xmlns").set_value(kActivityExtension);
        if (f.averageSpeed) addText(extension, "AvgSpeed", numberWith(*f.averageSpeed, 3));
        if (f.averagePower) addText(extension, "AvgWatts", numberWith(*f.averagePower, 0));
        if (f.maximumPower) addText(extension, "MaxWatts", numberWith(*f.maximumPower, 0));
    }
    return printAround(document, false);
}

}  // namespace

void writeTcx(const Track& track, std::ostream& out) {
    pugi::xml_document document;
    addComment(document, track.provenance());
    pugi::xml_node root = document.append_child("TrainingCenterDatabase");
    root.append_attribute("xmlns").set_value(kTcxNamespace);
    root.append_attribute("xmlns:xsi").set_value(kSchemaInstance);
    pugi::xml_node activity = root.append_child("Activities").append_child("Activity");
    activity.append_attribute("Sport").set_value(tcxSport(track.sport()));
    addText(activity, "Id", isoDateTime(track.startTime(), "Z"));
    addSlot(activity);
    // The exercise's name, then its note.
    std::string notes = track.name();
    if (!track.note().empty()) notes += (notes.empty() ? "" : "\n") + track.note();
    if (!notes.empty()) addText(activity, "Notes", xmlText(notes));
    addCreator(activity, track.origin());
    addAuthor(root, track.origin());
    const XmlShell file = printAround(document, true);

    out << file.head << '\n';
    std::string text;
    const LapFigures figures = LapFigures::of(track);
    for (size_t k = 0; k < track.laps().size(); ++k) {
        const TrackLap& lap = track.laps()[k];
        const XmlShell shell = lapShell(lap, figures.lap(k));
        out << shell.head;
        for (int32_t j = lap.firstSample; j < lap.endSample; ++j) {
            text.clear();
            appendTrackpoint(text, track.point(j));
            out << text;
        }
        out << shell.tail << '\n';
    }
    out << file.tail << '\n';
}
