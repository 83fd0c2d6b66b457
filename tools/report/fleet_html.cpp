#include <algorithm>
#include <cstdio>
#include <map>

#include "report/fleet_pages.h"

namespace tarn::report {
namespace {

// Only inline style and script may run: the page loads nothing, even if a
// machine's name slipped through as markup.
constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>TARN fleet report</title>
<style>
body{font:14px/1.4 system-ui,"Segoe UI",sans-serif;margin:1.5em;color:#1b1b1b;background:#fff}
h1{font-size:1.5em;margin:0 0 .2em}h2{font-size:1.15em;margin:1.6em 0 .4em}
.summary{color:#444;margin:0 0 1em}
.filters{display:flex;gap:1.2em;align-items:center;flex-wrap:wrap;padding:.6em .8em;background:#f3f5f7;border:1px solid #d8dde3;border-radius:4px}
.filters input{width:18em}
table{border-collapse:collapse;width:100%;margin-top:.5em}
th,td{border-bottom:1px solid #e1e4e8;padding:.35em .6em;text-align:left;vertical-align:top}
th{background:#fafbfc;cursor:pointer;user-select:none;white-space:nowrap}
th[aria-sort=ascending]::after{content:" \25B2"}th[aria-sort=descending]::after{content:" \25BC"}
td.number{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
td.time{white-space:nowrap;font-variant-numeric:tabular-nums}
tr[hidden]{display:none}
.badge{display:inline-block;padding:0 .5em;border-radius:3px;font-weight:600;font-size:.9em}
.success{background:#dcf3e3;color:#14532d}.warning{background:#fff3cd;color:#6b4e00}
.failed{background:#fbe0e0;color:#7f1d1d}.cancelled{background:#e8e8e8;color:#333}
.running,.restarting{background:#dbe9fb;color:#1e3a8a}
details ul{margin:.3em 0;padding-left:1.2em}code{font-size:.92em}
.none{color:#666;font-style:italic}
</style>
</head>
)";

constexpr const char* kScript = R"(<script>
(function () {
  var outcome = document.getElementById('outcome');
  var text = document.getElementById('text');
  var shown = document.getElementById('shown');
  function matches(row, query) {
    return !query || row.textContent.toLowerCase().indexOf(query) >= 0;
  }
  function apply() {
    var wanted = outcome.value, query = text.value.toLowerCase(), visible = 0, total = 0;
    document.querySelectorAll('#machines tbody tr').forEach(function (row) {
      var show = (!wanted || row.dataset.outcome === wanted) && matches(row, query);
      row.hidden = !show;
      total++;
      if (show) visible++;
    });
    document.querySelectorAll('#failures tbody tr').forEach(function (row) {
      row.hidden = !matches(row, query);
    });
    shown.textContent = visible + ' of ' + total + ' machines shown';
  }
  function sortKey(cell) {
    return cell.dataset.sort !== undefined ? cell.dataset.sort : cell.textContent;
  }
  function sortBy(header, column) {
    var table = header.closest('table'), body = table.tBodies[0];
    var ascending = header.getAttribute('aria-sort') !== 'ascending';
    table.querySelectorAll('th').forEach(function (h) { h.removeAttribute('aria-sort'); });
    header.setAttribute('aria-sort', ascending ? 'ascending' : 'descending');
    var numeric = header.dataset.type === 'number';
    var rows = Array.prototype.slice.call(body.rows);
    rows.sort(function (a, b) {
      var x = sortKey(a.cells[column]), y = sortKey(b.cells[column]);
      var order = numeric ? (parseFloat(x) || 0) - (parseFloat(y) || 0)
                          : x.localeCompare(y, undefined, {numeric: true, sensitivity: 'base'});
      return ascending ? order : -order;
    });
    rows.forEach(function (row) { body.appendChild(row); });
  }
  document.querySelectorAll('table.sortable th').forEach(function (header, index) {
    var column = header.cellIndex;
    header.tabIndex = 0;
    header.addEventListener('click', function () { sortBy(header, column); });
    header.addEventListener('keydown', function (e) {
      if (e.key === 'Enter' || e.key === ' ') { e.preventDefault(); sortBy(header, column); }
    });
  });
  // "#outcome=failed&q=pc-01&sort=3" opens the page filtered (links, tests).
  var sortColumn = null;
  location.hash.replace(/^#/, '').split('&').forEach(function (part) {
    var pair = part.split('='), value = decodeURIComponent(pair[1] || '');
    if (pair[0] === 'outcome') outcome.value = value;
    if (pair[0] === 'q') text.value = value;
    if (pair[0] === 'sort') sortColumn = parseInt(value, 10);
  });
  outcome.addEventListener('change', apply);
  text.addEventListener('input', apply);
  if (sortColumn !== null) {
    var header = document.querySelectorAll('#machines th')[sortColumn];
    if (header) sortBy(header, header.cellIndex);
  }
  apply();
  document.body.setAttribute('data-script', 'ran');
})();
</script>
)";

std::string DurationText(std::optional<int64_t> ms) {
  if (!ms) return "";
  char text[48];
  const int64_t seconds = *ms / 1000;
  if (seconds < 60) {
    (void)std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(*ms) / 1000.0);
  } else if (seconds < 3600) {
    (void)std::snprintf(text, sizeof text, "%lld min %02lld s",
                        static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
  } else {
    (void)std::snprintf(text, sizeof text, "%lld h %02lld min",
                        static_cast<long long>(seconds / 3600),
                        static_cast<long long>(seconds / 60 % 60));
  }
  return text;
}

std::string Cell(std::string_view text, std::string_view sortKey = {}, bool number = false) {
  std::string out = number ? "<td class=\"number\"" : "<td";
  if (!sortKey.empty()) out += " data-sort=\"" + HtmlEscaped(sortKey) + "\"";
  return out + ">" + HtmlEscaped(text) + "</td>";
}

// "2026-12-01 07:13:42" of "2026-12-01T07:13:42.005Z", sorted by the full text.
std::string TimeCell(const std::string& iso) {
  std::string shown = iso.substr(0, 19);
  if (shown.size() > 10 && shown[10] == 'T') shown[10] = ' ';
  return "<td class=\"time\" data-sort=\"" + HtmlEscaped(iso) + "\">" + HtmlEscaped(shown) +
         "</td>";
}

std::string Badge(const std::string& outcome) {
  return "<span class=\"badge " + outcome + "\">" + HtmlEscaped(outcome) + "</span>";
}

size_t CountFailed(const RunFacts& run) {
  return static_cast<size_t>(std::count_if(run.steps.begin(), run.steps.end(), [](const auto& s) {
    return s.outcome == "error" || s.outcome == "aborted";
  }));
}

// The runs of a machine, latest first, folded away behind their count.
std::string RunsCell(const MachineFacts& machine) {
  const std::string count = std::to_string(machine.runs.size());
  std::string out = "<td class=\"number\" data-sort=\"" + count + "\">";
  if (machine.runs.size() == 1) return out + "1</td>";
  out += "<details><summary>" + count + "</summary><ul>";
  for (const RunFacts& run : machine.runs) {
    out += "<li>" + HtmlEscaped(run.started.substr(0, 19)) + " " + Badge(RunOutcome(run)) +
           " <code>" + HtmlEscaped(run.file) + "</code></li>";
  }
  return out + "</ul></details></td>";
}

void AppendMachines(std::string& out, const Fleet& fleet) {
  out +=
      "<h2>Machines</h2>\n<table id=\"machines\" class=\"sortable\"><thead><tr>"
      "<th>Computer</th><th>Outcome</th><th>Restart</th><th data-type=\"number\">Duration</th>"
      "<th>Started (UTC)</th><th data-type=\"number\">Runs</th>"
      "<th data-type=\"number\">Failed steps</th><th data-type=\"number\">Warnings</th>"
      "<th>Result file</th></tr></thead>\n<tbody>\n";
  for (const MachineFacts& machine : fleet.machines) {
    const RunFacts& run = machine.latest();
    const std::string outcome = RunOutcome(run);
    const auto duration = DurationMs(run);
    out += "<tr data-outcome=\"" + HtmlEscaped(outcome) + "\">" + Cell(machine.computer) +
           "<td data-sort=\"" + HtmlEscaped(outcome) + "\">" + Badge(outcome) + "</td>" +
           Cell(RestartState(run)) +
           Cell(DurationText(duration), duration ? std::to_string(*duration) : "-1", true) +
           TimeCell(run.started) + RunsCell(machine) +
           Cell(std::to_string(CountFailed(run)), {}, true) +
           Cell(std::to_string(run.warnings.size()), {}, true) + Cell(run.file) + "</tr>\n";
  }
  out += "</tbody></table>\n";
}

void AppendFailures(std::string& out, const Fleet& fleet) {
  out += "<h2>Entries that failed</h2>\n";
  if (fleet.failures.empty()) {
    out += "<p class=\"none\">No entry failed on the latest run of any machine.</p>\n";
    return;
  }
  out +=
      "<table id=\"failures\" class=\"sortable\"><thead><tr><th>Key</th><th>Name</th>"
      "<th data-type=\"number\">Machines</th><th>Computers (exit code)</th></tr></thead>\n"
      "<tbody>\n";
  for (const FailedEntry& entry : fleet.failures) {
    std::string machines;
    for (const auto& [computer, code] : entry.machines) {
      if (!machines.empty()) machines += ", ";
      machines +=
          computer + " (" + (code ? std::to_string(*code) : std::string("not started")) + ")";
    }
    out += "<tr>" + Cell(entry.key) + Cell(entry.name) +
           Cell(std::to_string(entry.machines.size()), {}, true) + Cell(machines) + "</tr>\n";
  }
  out += "</tbody></table>\n";
}

void AppendUnreadable(std::string& out, const Fleet& fleet) {
  out += "<h2>Files that could not be read</h2>\n";
  if (fleet.unreadable.empty()) {
    out += "<p class=\"none\">None.</p>\n";
    return;
  }
  out += "<table id=\"unreadable\"><thead><tr><th>File</th><th>Why</th></tr></thead><tbody>\n";
  for (const UnreadableFile& file : fleet.unreadable) {
    out += "<tr>" + Cell(file.file) + Cell(file.reason) + "</tr>\n";
  }
  out += "</tbody></table>\n";
}

void AppendSummaryAndFilters(std::string& out, const Fleet& fleet) {
  std::map<std::string, size_t> outcomes;
  size_t files = fleet.unreadable.size();
  for (const MachineFacts& machine : fleet.machines) {
    ++outcomes[RunOutcome(machine.latest())];
    files += machine.runs.size();
  }
  out += "<p class=\"summary\">" + std::to_string(fleet.machines.size()) + " machines";
  for (const auto& [outcome, count] : outcomes) {
    out += " &middot; " + std::to_string(count) + " " + HtmlEscaped(outcome);
  }
  out += " &middot; " + std::to_string(files) + " result files, " +
         std::to_string(fleet.unreadable.size()) + " unreadable</p>\n";
  out +=
      "<div class=\"filters\"><label>Outcome <select id=\"outcome\"><option value=\"\">all"
      "</option>";
  for (const char* outcome :
       {"failed", "warning", "success", "cancelled", "restarting", "running"}) {
    out += std::string("<option>") + outcome + "</option>";
  }
  out +=
      "</select></label><label>Text <input id=\"text\" type=\"search\" "
      "placeholder=\"computer, entry, file\"></label><span id=\"shown\"></span></div>\n";
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string FleetHtml(const Fleet& fleet) {
  std::string out = kHead;
  out += "<body data-script=\"none\">\n<h1>TARN fleet report</h1>\n";
  AppendSummaryAndFilters(out, fleet);
  AppendMachines(out, fleet);
  AppendFailures(out, fleet);
  AppendUnreadable(out, fleet);
  out += kScript;
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace tarn::report
