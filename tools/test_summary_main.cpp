// Prints the test run's summary from the reports:
//   lumora_test_summary [--passed N] [--failed N] [--reports DIR]... [--ctest FILE]...
// --reports names a folder of GoogleTest XML reports (every *.xml in it, one
// per test program), --ctest a JUnit file that ctest wrote with
// --output-junit, --passed and --failed checks the script counted itself.
// One line per report and per crashed program, then "N passed, N failed" as
// the last line. Exit status 0 only when nothing failed.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_summary.h"

namespace fs = std::filesystem;
using lumora::tools::ProgramReport;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> report_files;
  std::vector<fs::path> ctest_files;
  long extra_passed = 0, extra_failed = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) {
      std::cerr << "lumora_test_summary: " << arg << " needs a value\n";
      return 2;
    }
    std::string value = argv[++i];
    if (arg == "--reports") {
      std::error_code ec;
      std::vector<fs::path> found;
      for (const auto& entry : fs::directory_iterator(value, ec)) {
        if (entry.path().extension() == ".xml") found.push_back(entry.path());
      }
      std::sort(found.begin(), found.end());
      report_files.insert(report_files.end(), found.begin(), found.end());
    } else if (arg == "--ctest") {
      ctest_files.emplace_back(value);
    } else if (arg == "--passed") {
      extra_passed = std::stol(value);
    } else if (arg == "--failed") {
      extra_failed = std::stol(value);
    } else {
      std::cerr << "lumora_test_summary: unknown option " << arg << "\n";
      return 2;
    }
  }

  std::vector<ProgramReport> reports;
  std::vector<std::string> unreadable;
  for (const fs::path& file : report_files) {
    try {
      reports.push_back(lumora::tools::ReadProgramReport(file.stem().string(), ReadFile(file)));
    } catch (const std::exception& e) {
      unreadable.push_back("  " + file.stem().string() + ": unreadable report (" + e.what() + ")");
    }
  }
  std::vector<std::string> failed_programs;
  for (const fs::path& file : ctest_files) {
    if (!fs::exists(file)) continue;  // that run did not happen
    try {
      auto names = lumora::tools::ReadFailedPrograms(ReadFile(file));
      failed_programs.insert(failed_programs.end(), names.begin(), names.end());
    } catch (const std::exception& e) {
      unreadable.push_back("  " + file.filename().string() + ": unreadable ctest record (" + e.what() + ")");
    }
  }

  lumora::tools::Summary summary = lumora::tools::Summarize(reports, failed_programs);
  summary.passed += extra_passed;
  summary.failed += extra_failed + static_cast<long>(unreadable.size());
  for (const std::string& line : summary.lines) std::cout << line << "\n";
  for (const std::string& line : unreadable) std::cout << line << "\n";
  std::cout << lumora::tools::FinalLine(summary) << std::endl;
  return summary.failed == 0 ? 0 : 1;
}
