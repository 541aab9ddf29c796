#include "tools/host/program/HostOptions.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <sstream>
#include <string_view>

#include "tools/host/recording/RecordingFacts.h"
#include "tools/host/time/TimeZone.h"

namespace {

// A --format value: one report, or conversions, several of them with
// commas; false when a name is none of them or reports and conversions mix.
bool parseFormats(std::string_view text, HostOptions& options, bool& reportNamed, std::string& error) {
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        const auto conversion = std::find_if(std::begin(kConversionFormats), std::end(kConversionFormats),
                                             [&](ConversionFormat format) { return name == formatName(format); });
        const bool report = name == "table" || name == "csv" || name == "json";
        if (name == "table") options.format = ReportFormat::Table;
        else if (name == "csv") options.format = ReportFormat::Csv;
        else if (name == "json") options.format = ReportFormat::Json;
        else if (conversion != std::end(kConversionFormats)) options.conversions.push_back(*conversion);
        else {
            error = "unknown format '" + std::string(name) + "' (table, csv, json, tcx, gpx, fit or svg)";
            return false;
        }
        reportNamed |= report;
        if (reportNamed && !options.conversions.empty()) {
            error = "--format: a run prints one report (table, csv, json) or writes files (tcx, gpx, fit, svg), "
                    "not both";
            return false;
        }
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

// Each format once, in the order first named.
void dropRepeated(std::vector<ConversionFormat>& formats) {
    std::vector<ConversionFormat> kept;
    for (const ConversionFormat format : formats)
        if (std::find(kept.begin(), kept.end(), format) == kept.end()) kept.push_back(format);
    formats = kept;
}

bool parseTrackOffset(const std::string& value, PlacementOptions& tracks) {
    if (value == "local") {
        tracks.forced = TrackReading{TrackReading::Kind::WrittenAsLocal, 0};
        return true;
    }
    const std::optional<int32_t> offset = parseUtcOffset(value);
    if (!offset) return false;
    tracks.forced = TrackReading{TrackReading::Kind::Utc, *offset};
    return true;
}

// `text` broken at blanks into lines of at most 79 characters, the first
// going on from `firstColumn`, the others begun with `indent` blanks.
std::string wrapped(const std::string& text, size_t indent, size_t firstColumn) {
    std::string out;
    size_t column = firstColumn;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!out.empty()) {
            const bool fits = column + 1 + word.size() <= 79;
            out += fits ? std::string(" ") : "\n" + std::string(indent, ' ');
            column = fits ? column + 1 : indent;
        }
        out += word;
        column += word.size();
    }
    return out;
}

}  // namespace

bool parseOptions(int argc, char** argv, const HostProgram& program, HostOptions& options, std::string& error) {
    bool optionsEnded = false, reportNamed = false, byOrder = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--track-by-order") {
            byOrder = true;
            continue;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (const size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
            hasValue = true;
        }
        const bool takesValue =
            arg == "--settings" || arg == "--format" || arg == "--output" || arg == "--utc-offset" || arg == "--sport" ||
            arg == "--sport-map" || arg == "--text-encoding" || arg == "--track-offset" || arg == "--max-hr" ||
            (arg == "--dll" && program.loadsLibrary) || (arg == "--import" && program.importDialog) ||
            (arg == "--configure" && program.configurationDialog);
        if (!takesValue) {
            error = "unknown option " + arg;
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (arg == "--settings") {
            options.settings = value;
        } else if (arg == "--dll") {
            options.library = value;
        } else if (arg == "--import") {
            options.importTarget = value;
        } else if (arg == "--configure") {
            options.configure = value;
        } else if (arg == "--output") {
            options.output = value;
        } else if (arg == "--sport") {
            options.sports.chosen = parseSport(value);
            if (!options.sports.chosen) {
                error = "--sport wants running, cycling, other or another of FIT's sports (see --help), not '" +
                        value + "'";
                return false;
            }
        } else if (arg == "--sport-map") {
            std::string problem;
            if (!options.sports.map.parse(value, problem)) {
                error = "--sport-map wants NUMBER=SPORT,... (1=running,2=cycling): " + problem;
                return false;
            }
        } else if (arg == "--text-encoding") {
            const std::optional<CodePage> codePage = codePageNamed(value);
            if (!codePage) {
                error = "--text-encoding wants one of " + codePageNames() + ", not '" + value + "'";
                return false;
            }
            options.textEncoding = *codePage;
        } else if (arg == "--track-offset") {
            if (!parseTrackOffset(value, options.tracks)) {
                error = "--track-offset wants +HH:MM or -HH:MM up to 14:00, or local, not '" + value + "'";
                return false;
            }
        } else if (arg == "--max-hr") {
            int bpm = 0;
            const auto result = std::from_chars(value.data(), value.data() + value.size(), bpm);
            if (result.ec != std::errc{} || result.ptr != value.data() + value.size() || bpm < kLowestHeartRate ||
                bpm > kHighestHeartRate) {
                error = "--max-hr wants heart beats per minute from " + std::to_string(kLowestHeartRate) + " to " +
                        std::to_string(kHighestHeartRate) + ", not '" + value + "'";
                return false;
            }
            options.maximumHeartRate = bpm;
        } else if (arg == "--utc-offset") {
            options.utcOffset = parseUtcOffset(value);
            if (!options.utcOffset) {
                error = "--utc-offset wants +HH:MM or -HH:MM up to 14:00, not '" + value + "'";
                return false;
            }
        } else if (!parseFormats(value, options, reportNamed, error)) {
            return false;
        }
    }
    dropRepeated(options.conversions);
    if (byOrder) {
        if (options.tracks.forced) {
            error = "--track-by-order and --track-offset each say how to read a track's times: give one";
            return false;
        }
        options.tracks.forced = TrackReading{TrackReading::Kind::ByOrder, 0};
    }
    const bool converting = !options.conversions.empty();
    if (converting && options.output.empty()) {
        error = "--format tcx, gpx, fit and svg write files: name their folder with --output DIR";
        return false;
    }
    if (!converting && (!options.output.empty() || options.utcOffset || options.tracks.forced || options.verbose)) {
        error = "--output, --utc-offset, --track-offset, --track-by-order and --verbose apply only to --format tcx, "
                "gpx, fit and svg";
        return false;
    }
    if (!converting && options.maximumHeartRate) {
        error = "--max-hr applies only to --format tcx, gpx, fit and svg";
        return false;
    }
    if (!options.help && options.files.empty() && options.importTarget.empty() && options.configure.empty()) {
        error = "no raw file given";
        return false;
    }
    return true;
}

std::string usageText(const HostProgram& program) {
    std::string text = "usage: polarhost [--settings INI] [--format table|csv|json]";
    if (program.loadsLibrary) text += " [--dll PATH]";
    if (program.configurationDialog) text += " [--configure INI]";
    if (program.importDialog) text += " [--import TARGETDIR]";
    text +=
        " RAWFILE|FOLDER...\n"
        "       polarhost --format tcx,gpx,fit,svg --output DIR [--utc-offset +HH:MM]\n"
        "                 [--sport SPORT] [--sport-map N=SPORT,...] [--text-encoding CP]\n"
        "                 [--track-offset +HH:MM|local] [--track-by-order] [--max-hr BPM]\n"
        "                 [--verbose] [--settings INI] RAWFILE|FOLDER...\n"
        "\n"
        "Analyses each raw file (.hrm exercise or .hrz archive) through the plug-in's\n"
        "exports, as the training-log application does, and prints what it hands over,\n"
        "or converts each exercise into files for other training software. A FOLDER\n"
        "is walked with its subfolders in name order, links to folders followed and\n"
        "each folder once, for its .hrm and .hrz files.\n"
        "\n"
        "  --settings INI   plug-in settings file (section SETTINGS); without it the\n"
        "                   plug-in is given a file that does not exist, so its\n"
        "                   defaults apply (ModulateTemp=1, GPS=1, Debug=0, ...)\n"
        "  --format F       table (default, for people), csv (one row per sample) or\n"
        "                   json (every record field as the plug-in wrote it); or\n"
        "                   tcx, gpx, fit, svg: files into --output, several formats\n"
        "                   with commas (--format fit,tcx) or --format given again;\n"
        "                   svg also writes index.html, the training history of every\n"
        "                   exercise converted into DIR, in this run and earlier ones\n"
        "                   (kept in DIR/index.tsv): volume, heart-rate zones, load and\n"
        "                   form, records, and every exercise with links to its files\n"
        "  --output DIR     folder for the converted files (made when missing): the raw\n"
        "                   file's name with the format's extension, the exercise\n"
        "                   index added for an archive (ride.tcx, Connect-0.fit ...),\n"
        "                   \" (2)\" added where a file of the run, or one an earlier\n"
        "                   run converted from another raw file, took the name. A\n"
        "                   FOLDER among the raw files is converted with its\n"
        "                   subfolders, mirrored below DIR: its .hrm and .hrz files,\n"
        "                   with the .gpx tracks and .pdd day diaries beside them;\n"
        "                   other files are counted and named at the end. Metres, m/s\n"
        "                   and degrees Celsius, converted from US units where the\n"
        "                   file says it holds them. TCX, GPX and FIT need a valid\n"
        "                   Date= and an Interval= above 0 to place the samples in\n"
        "                   time; GPX needs positions. An R-R recording\n"
        "                   (Interval=238) is converted from its beats, or merged into\n"
        "                   the FIT and SVG of its exercise: the one its day diary\n"
        "                   names, or one of the same start among the raw files. The\n"
        "                   path of each file written goes to standard output\n"
        "  --utc-offset +HH:MM  the offset from UTC of the files' wall-clock times;\n"
        "                   without it, the machine's time zone on the exercise's date,\n"
        "                   or the offset a GPS track in UTC shows. Each file says\n"
        "                   which it used\n"
        "  --sport SPORT    the sport of every exercise (TCX Sport, FIT sport, and the\n"
        "                   reports' sport): running, cycling, other or another of\n"
        "                   FIT's sports; without it, the day diary's sport by\n"
        "                   --sport-map, else the recording's: power is cycling;\n"
        "                   with speed, a cycle computer (CS series) is cycling, and\n"
        "                   else the moving speeds tell: a median of 20 km/h or more,\n"
        "                   or 10 and coasting (cadence 0), cycling; 6.5 to 14.5\n"
        "                   running; 2 to 6.5 walking; anything else (heart rate\n"
        "                   only, the \"HR + cycling data\" flag alone, weak\n"
        "                   evidence) other, which the end of the run counts\n"
        "  --sport-map N=SPORT,...  what the day diaries' sport numbers stand for; the\n"
        "                   numbers given replace those of 1=running,2=cycling,\n"
        "                   3=swimming and those a person file (.ppd) in the\n"
        "                   diary's folder or the one above names; a number not\n"
        "                   mapped keeps the recording's sport. The end of the run\n"
        "                   lists the numbers met\n"
        "  --text-encoding CP  the code page of the day diaries and the exercises'\n"
        "                   notes, windows-1252 without it: " +
        wrapped(codePageNames(), 19, 50) +
        "\n"
        "  --track-offset +HH:MM|local  how to read the times of a GPS track beside an\n"
        "                   exercise: UTC with the watch at that offset, or local as\n"
        "                   written; without it, the reading that fits the exercise\n"
        "  --track-by-order spread each track's points evenly over its exercise, in\n"
        "                   order, whatever their times (for a track without times,\n"
        "                   or one whose times run backwards or mostly cannot be read)\n"
        "  --verbose        also say, per file, what went as it should: an R-R\n"
        "                   recording merged, a track placed and how its times were\n"
        "                   read. Without it standard error holds only what could not\n"
        "                   be converted as asked, and the summary; on a terminal, a\n"
        "                   line there shows how far the run is\n"
        "  --max-hr BPM     the maximum heart rate for exercise files that give none\n"
        "                   (MaxHR=): the overview's heart-rate zones and training\n"
        "                   load are reckoned from it\n";
    if (program.loadsLibrary)
        text += "  --dll PATH       the plug-in DLL (default: PolarImport.dll beside polarhost)\n";
    if (program.configurationDialog)
        text +=
            "  --configure INI  first shows the plug-in's configuration dialog\n"
            "                   (CallConfiguration) on INI, which OK saves; without\n"
            "                   --settings, INI is then also the settings file, read after\n"
            "                   the dialog. No raw file is needed with it\n";
    if (program.importDialog)
        text +=
            "  --import DIR     first runs the plug-in's import dialog (CallImportDialog)\n"
            "                   on this window's rectangle, which archives the monitor's\n"
            "                   exercises as DIR/Connect.hrz; that archive is then analysed\n"
            "                   like a raw file. Without a monitor, the stand-in HRMCom.dll\n"
            "                   plays one from the scenario named by HRMCOM_SCENARIO\n";
    text +=
        "  -h, --help       this text\n"
        "\n"
        "Sports: " +
        wrapped(sportNames() + ".", 2, 8) +
        "\n"
        "\n"
        "With Debug=1 in the settings, the plug-in's debug box goes to standard error,\n"
        "each line marked \"[plug-in message] \"" +
        std::string(program.configurationDialog ? " (a real message box on Windows)" : "") +
        ".\n"
        "Exercises with 0 samples are reported without summary, laps or samples.\n"
        "\n"
        "Exit status: reports, 0 every file gave samples; 1 a file held no exercise\n"
        "(missing, not an archive), none of its exercises gave a sample, a folder or\n"
        "file in one could not be read or the import brought none, the others are\n"
        "still reported. Converting, 0 every raw file named or found in a folder\n"
        "named gave at least one converted file (an R-R file merged into its\n"
        "partner's counts); 1 one gave none, whatever the reason (missing, no read\n"
        "permission, not a recording, no sample, no beat, no position for GPX, no\n"
        "date or interval to place it in time), or a folder could not be read; the\n"
        "others are still converted. Each says why on standard error, and a summary\n"
        "of the run ends it. Also 1 when a converted file cannot be written, which\n"
        "ends the run (no half-written file is left); 2 usage error; 3 the plug-in\n"
        "could not be loaded; 130 interrupted (Ctrl-C, or a request to end the\n"
        "process): the file under way and the run's work folder are removed, and\n"
        "the summary says after how many raw files the run stopped.\n";
    return text;
}
