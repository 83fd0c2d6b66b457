// tarn_report: the view of a fleet from the folder ReportTo fills. Reads
// every result file in the folder (not its subfolders) and writes one
// self-contained HTML page and a CSV file of the machines' steps.
//
//   tarn_report <folder> [--html <file>] [--csv <file>]
//
// A machine is named by its result file's "computer" member, else by the name
// ReportTo gives the copy ("<computer>-<UTC time>.json"); of several runs of
// one machine the latest stands for it. Files that cannot be read are listed
// in the page and on the error output, never fatal. Exits with 0 when what was
// asked for is written, 1 when the folder cannot be listed or a file not
// written, 2 on a wrong command line.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "report/fleet_pages.h"
#include "report/fleet_results.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "usage: tarn_report <folder> [--html <file>] [--csv <file>]\n";

struct Options {
  fs::path folder;
  std::optional<fs::path> html;
  std::optional<fs::path> csv;
};

// Arguments are UTF-8 (the Windows build declares UTF-8 as its code page).
fs::path PathOf(const char* argument) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(argument)));
}

std::optional<Options> ParseArguments(int argc, char** argv) {
  Options options;
  bool folderGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--html" && hasValue) {
      options.html = PathOf(argv[++i]);
    } else if (arg == "--csv" && hasValue) {
      options.csv = PathOf(argv[++i]);
    } else if (!folderGiven && !arg.starts_with("--")) {
      options.folder = PathOf(argv[i]);
      folderGiven = true;
    } else {
      return std::nullopt;
    }
  }
  if (!folderGiven || (!options.html && !options.csv)) return std::nullopt;
  return options;
}

bool WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  std::cerr << "tarn_report: cannot write "
            << reinterpret_cast<const char*>(path.u8string().c_str()) << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseArguments(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  const std::optional<tarn::report::Fleet> fleet = tarn::report::ReadFleet(options->folder);
  if (!fleet) {
    std::cerr << "tarn_report: cannot list the folder "
              << reinterpret_cast<const char*>(options->folder.u8string().c_str()) << "\n";
    return 1;
  }
  for (const auto& file : fleet->unreadable) {
    std::cerr << "tarn_report: " << file.file << ": " << file.reason << "\n";
  }
  bool written = true;
  if (options->html)
    written = WriteFile(*options->html, tarn::report::FleetHtml(*fleet)) && written;
  if (options->csv) written = WriteFile(*options->csv, tarn::report::FleetCsv(*fleet)) && written;
  std::cout << "tarn_report: " << fleet->machines.size() << " machines, "
            << fleet->unreadable.size() << " unreadable files\n";
  return written ? 0 : 1;
}
