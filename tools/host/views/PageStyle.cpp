#include "tools/host/views/PageStyle.h"

namespace {

// A colour each: the sports, the most trained first (those beyond the
// eighth alike); the zones, from calm blue to red; the load's lines.
constexpr struct {
    const char* style;
    const char* colour;
} kColours[] = {{"s0", "#1f77b4"}, {"s1", "#ff7f0e"}, {"s2", "#2ca02c"},  {"s3", "#9467bd"},  {"s4", "#8c564b"},
                {"s5", "#e377c2"}, {"s6", "#17becf"}, {"s7", "#bcbd22"},  {"s8", "#7f7f7f"},  {"s9", "#7f7f7f"},
                {"s10", "#7f7f7f"}, {"s11", "#7f7f7f"}, {"z0", "#9ecae1"}, {"z1", "#41ab5d"}, {"z2", "#fdd835"},
                {"z3", "#fb8c00"}, {"z4", "#d7301f"},  {"l0", "#1f77b4"}, {"l1", "#c51b8a"}, {"l2", "#fb8c00"}};

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
           "th,td{padding:4px 10px;text-align:left;vertical-align:top;white-space:nowrap}td.name{white-space:normal;"
           "min-width:12em}"
           "thead th{border-bottom:2px solid #999}"
           "table.numbers{font-size:13px}table.numbers td,table.numbers th{padding:2px 8px}"
           "table.records td strong{display:block}span.record{display:block}"
           "tr.year th{font-size:16px;padding-top:18px;border-bottom:1px solid #bbb}"
           "tr.year span{font-weight:normal;color:#555;font-size:13px;margin-left:12px}"
           "tbody tr.exercise:nth-child(even){background:#f4f4f4}"
           "td.number{text-align:right}"
           "span.source{display:block;color:#777;font-size:12px}"
           "td.files a{margin-right:8px}"
           "span.zones{display:flex;width:90px;height:11px;margin-top:4px;background:#eee}"
           "span.zones span{display:block;height:100%;overflow:hidden}"
           "@media (max-width:600px){body{padding:0 8px;margin:8px auto}"
           ".charts{grid-template-columns:1fr}svg.chart text{font-size:22px}svg.chart.wide{min-width:720px}svg.chart.wide text{font-size:19px}"
           "svg.chart text.minor{display:none}th,td{padding:3px 6px}}"
        "path.fitness{stroke:#1f77b4}path.fatigue{stroke:#c51b8a}path.form{stroke:#fb8c00}";
    // The bars of the charts, the parts of a zone bar and the legends' swatches.
    for (const auto& [style, colour] : kColours) {
        const std::string name = style;
        sheet += "rect." + name + ",.zones ." + name + ",.key." + name + "::before{fill:" + colour +
                 ";background:" + colour + "}";
    }
    return sheet;
}
