// The summary's counting of crashed and failing test programs, and the
// reading of the reports as XML rather than as lines of text.
#include "test_summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumora::tools {
namespace {

std::string GoogleTestReport(int tests, int failures, int disabled, int errors) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"" + std::to_string(tests) +
         "\" failures=\"" + std::to_string(failures) + "\" disabled=\"" + std::to_string(disabled) +
         "\" errors=\"" + std::to_string(errors) + "\" time=\"0.1\" name=\"AllTests\">\n</testsuites>\n";
}

TEST(TestSummary, ACrashedProgramWithoutReportCountsAsOneFailure) {
  const std::string junit =
      "<testsuite name=\"(empty)\"\n\ttests=\"2\"\n\tfailures=\"1\">\n"
      "\t<testcase name=\"good_tests\" classname=\"good_tests\" time=\"1\" status=\"run\"/>\n"
      "\t<testcase name=\"crashing_tests\" classname=\"crashing_tests\" time=\"1\" status=\"fail\">\n"
      "\t\t<failure message=\"SEGFAULT\"/>\n\t</testcase>\n</testsuite>\n";
  Summary s = Summarize({ReadProgramReport("good_tests", GoogleTestReport(5, 0, 1, 0))},
                        ReadFailedPrograms(junit));
  EXPECT_EQ(s.passed, 4);
  EXPECT_EQ(s.failed, 1);
  ASSERT_EQ(s.lines.size(), 2u);
  EXPECT_EQ(s.lines[0], "  good_tests: 5 tests, 0 failures, 0 errors");
  EXPECT_EQ(s.lines[1], "  crashing_tests: crashed or timed out");
  EXPECT_EQ(FinalLine(s), "4 passed, 1 failed");
}

TEST(TestSummary, AProgramWhoseReportHasTheFailuresIsNotCountedAgain) {
  std::vector<std::string> failed = {"failing_tests"};
  Summary s = Summarize({ReadProgramReport("failing_tests", GoogleTestReport(6, 2, 0, 1))}, failed);
  EXPECT_EQ(s.passed, 3);
  EXPECT_EQ(s.failed, 3);
  EXPECT_EQ(s.lines.size(), 1u);
}

// A program that reported every test passed and then failed on its way out
// (a leak found at exit, a hang after the report) is one failure.
TEST(TestSummary, AProgramThatFailedAfterACleanReportCountsOnce) {
  std::vector<std::string> failed = {"leaking_tests", "leaking_tests"};
  Summary s = Summarize({ReadProgramReport("leaking_tests", GoogleTestReport(3, 0, 0, 0))}, failed);
  EXPECT_EQ(s.passed, 3);
  EXPECT_EQ(s.failed, 1);
  EXPECT_EQ(FinalLine(s), "3 passed, 1 failed");
}

// Test output in the records holds markup-like text: only real tags count.
TEST(TestSummary, MarkupInsideCommentsCdataAndAttributeValuesIsText) {
  const std::string junit =
      "<testsuite>\n<!-- <testcase name=\"commented\" status=\"fail\"> -->\n"
      "<testcase name=\"a&amp;b\" status=\"run\">\n"
      "<system-out><![CDATA[<testcase name=\"inside\" status=\"fail\">]]></system-out>\n"
      "</testcase>\n<testcase name='quoted' status='notrun' message=\"x > y\"/>\n</testsuite>\n";
  EXPECT_EQ(ReadFailedPrograms(junit), std::vector<std::string>{"quoted"});

  const std::string report =
      "<testsuites tests=\"4\" failures=\"1\"\n disabled=\"0\" errors=\"0\">\n"
      "<testsuite name=\"S\"><testcase name=\"T\"><failure message=\"&lt;testsuites tests=&quot;99&quot;\">"
      "<![CDATA[<testsuites tests=\"99\" failures=\"0\">]]></failure></testcase></testsuite></testsuites>\n";
  ProgramReport r = ReadProgramReport("p", report);
  EXPECT_EQ(r.tests, 4);
  EXPECT_EQ(r.failures, 1);
}

TEST(TestSummary, AReportWithoutTestsuitesOrWithABrokenTagIsAnError) {
  EXPECT_THROW(ReadProgramReport("p", "<testsuite tests=\"1\"/>"), std::runtime_error);
  EXPECT_THROW(ReadProgramReport("p", "<testsuites tests=\"1\" failures=\"0"), std::runtime_error);
  EXPECT_THROW(ReadProgramReport("p", "<testsuites tests=\"x\"/>"), std::runtime_error);
}

}  // namespace
}  // namespace lumora::tools
