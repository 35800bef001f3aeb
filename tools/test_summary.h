// The test run's summary, read from the reports the test programs and ctest
// write: GoogleTest's XML report of each program (<testsuites tests= failures=
// disabled= errors=>) and ctest's JUnit record of each run (<testcase name=
// status=>, one per test program). A program that ctest saw fail but whose
// report is missing, or shows no failure, crashed or hung: it counts as one
// failure of its own.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::tools {

// One element's start tag: its name and attributes, entities decoded.
struct XmlTag {
  std::string name;
  std::map<std::string, std::string> attributes;
};

// The start tags of an XML document in document order (empty-element tags
// included); comments, CDATA sections, processing instructions, the document
// type and text are skipped. Throws std::runtime_error on a tag that does not
// end or an attribute without a quoted value.
std::vector<XmlTag> ReadStartTags(std::string_view xml);

// The counts of a GoogleTest report.
struct ProgramReport {
  std::string name;  // the file name without ".xml"
  long tests = 0;
  long failures = 0;
  long disabled = 0;
  long errors = 0;
};

// Reads the counts from a GoogleTest XML report's <testsuites> element.
// Throws std::runtime_error when the document has none.
ProgramReport ReadProgramReport(std::string name, std::string_view xml);

// The test programs that ctest's JUnit record shows as not passed (any status
// other than "run" and "disabled").
std::vector<std::string> ReadFailedPrograms(std::string_view junit);

struct Summary {
  std::vector<std::string> lines;  // the per-report lines, in order
  long passed = 0;
  long failed = 0;
};

// Sums the reports and the ctest records: passed is every test that ran
// without failure, failed every failure and error of the reports plus one for
// each program of failed_programs whose report (matched by name) is missing
// or shows no failure and no error.
Summary Summarize(const std::vector<ProgramReport>& reports,
                  const std::vector<std::string>& failed_programs);

// "N passed, N failed"
std::string FinalLine(const Summary& summary);

}  // namespace lumora::tools
