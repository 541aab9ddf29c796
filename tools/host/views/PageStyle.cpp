#include "tools/host/views/PageStyle.h"

#include <iterator>

namespace {

// The sports, the most trained first; those beyond the eighth alike.
constexpr const char* kSportColours[] = {"#1f77b4", "#ff7f0e", "#2ca02c", "#9467bd", "#8c564b", "#e377c2",
                                         "#17becf", "#bcbd22", "#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f"};
// The heart-rate zones, from calm blue to red.
constexpr const char* kZoneColours[] = {"#9ecae1", "#41ab5d", "#fdd835", "#fb8c00", "#d7301f"};
// Fitness, fatigue and form.
constexpr const char* kLineColours[] = {"#1f77b4", "#c51b8a", "#fb8c00"};

// The bars of the charts and the legends' swatches of the classes prefix + k.
template <size_t N>
void addColours(std::string& sheet, const char* prefix, const char* const (&colours)[N]) {
    for (size_t k = 0; k < N; ++k) {
        const std::string name = prefix + std::to_string(k);
        sheet += std::string("rect.") + name + ",.key." + name + "::before{fill:" + colours[k] +
                 ";background:" + colours[k] + "}";
    }
}

}  // namespace

std::string pageStyleSheet() {
    std::string sheet = "body{font-family:sans-serif;color:#222;margin:16px auto;max-width:1180px;padding:0 16px}"
           "h1{font-size:22px;margin:0 0 4px}h2{font-size:19px;margin:28px 0 8px;border-bottom:1px solid #ccc}"
           "h3{font-size:15px;margin:12px 0 4px}p.summary{color:#555;margin:0 0 8px}"
           "p.note,ul.sources{color:#555;font-size:13px;max-width:60em}"
           ".charts{display:grid;grid-template-columns:repeat(auto-fit,minmax(420px,1fr));gap:8px 32px}"
           "svg.chart{display:block;width:100%;height:auto}"
           "svg.chart text{font-size:13px;fill:#444}"
           "svg.chart .grid line{stroke:#e6e6e6}svg.chart .axis{stroke:#888}svg.chart .year{stroke:#ddd}"
           "svg.chart path{fill:none;stroke-width:1.8}"
           "p.legend{margin:2px 0;font-size:13px}"
           ".key{margin-right:14px;white-space:nowrap}"
           ".key::before{content:'';display:inline-block;width:11px;height:11px;margin-right:5px;"
           "vertical-align:-1px;background:#999}"
           "details{margin:4px 0 12px;font-size:13px}summary{cursor:pointer;color:#355}"
           ".scroll{overflow-x:auto}.recent{direction:rtl}.recent svg{direction:ltr}"
           "table{border-collapse:collapse;font-size:14px}"
           "th,td{padding:4px 8px;text-align:left;vertical-align:top;white-space:nowrap}td.name{white-space:normal;"
           "min-width:12em}"
           "thead th{border-bottom:2px solid #999}"
           "table.numbers{font-size:13px}table.numbers td,table.numbers th{padding:2px 8px}"
           "table.records td strong{display:block}span.record{display:block}"
           "details.year{font-size:14px;margin:0 0 6px}details.year summary{padding:6px 0;border-bottom:1px solid #bbb}"
           "details.year summary strong{font-size:16px}"
           "details.year summary span{color:#555;font-size:13px;margin-left:12px}"
           "table.exercises{width:100%}"
           "tbody tr.exercise:nth-child(even){background:#f4f4f4}"
           "td.number{text-align:right}"
           "span.source{display:block;color:#777;font-size:12px}"
           "td.files a{margin-right:6px}"
           "span.zones{display:block;width:90px;height:11px;margin-top:4px;overflow:hidden;color:transparent}"
           "@media (max-width:600px){body{padding:0 8px;margin:8px auto}"
           ".charts{grid-template-columns:1fr}svg.chart text{font-size:22px}"
           "svg.chart.wide{min-width:720px}svg.chart.wide text{font-size:19px}"
           "svg.chart text.minor{display:none}th,td{padding:3px 6px}"
           "table.exercises td:first-child{white-space:normal;min-width:6.5em}td.name{min-width:8em}}";
    addColours(sheet, "s", kSportColours);
    addColours(sheet, "z", kZoneColours);
    addColours(sheet, "l", kLineColours);
    for (size_t line = 0; line < std::size(kLineColours); ++line)
        sheet += "path.l" + std::to_string(line) + "{stroke:" + kLineColours[line] + "}";
    // A zone bar: each zone's colour up to where the zone ends (addZoneBar).
    sheet += "span.zones{background:linear-gradient(90deg";
    for (size_t zone = 0; zone < std::size(kZoneColours); ++zone) {
        sheet += std::string(",") + kZoneColours[zone] + " 0";
        if (zone + 1 < std::size(kZoneColours)) sheet += " var(--z" + std::to_string(zone + 1) + ")";
    }
    sheet += ")}";
    return sheet;
}
