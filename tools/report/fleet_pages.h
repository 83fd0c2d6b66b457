// What tarn_report writes of a fleet: one self-contained HTML page and a CSV
// file for spreadsheets. Every text comes from the machines and is escaped.
#pragma once

#include <string>
#include <string_view>

#include "report/fleet_results.h"

namespace tarn::report {

// `text` with & < > " ' as character references, safe in element content
// and in quoted attributes.
[[nodiscard]] std::string HtmlEscaped(std::string_view text);
// One CSV field (RFC 4180): quoted when it holds a comma, a quote or a line
// break, quotes doubled; a field a spreadsheet would take as a formula
// (starting with = + - @, a tab or a carriage return) gets a leading '.
[[nodiscard]] std::string CsvField(std::string_view text);

// The page: machines (outcome, restart state, duration, runs), the entries
// that failed across machines with their exit codes, the files that could
// not be read; filters by outcome and text and sortable columns, its style
// and script inline, nothing loaded from elsewhere.
[[nodiscard]] std::string FleetHtml(const Fleet& fleet);
// One row per machine and step of its latest run (a machine without steps
// has one row), CRLF line ends, UTF-8 with a byte-order mark so that
// spreadsheets read it as UTF-8.
[[nodiscard]] std::string FleetCsv(const Fleet& fleet);

}  // namespace tarn::report
