#include "report/fleet_pages.h"

#include <gtest/gtest.h>

#include <regex>

namespace tarn::report {
namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

RunFacts Run(std::string computer, std::string started, std::vector<StepFacts> steps) {
  RunFacts run;
  run.computer = std::move(computer);
  run.file = run.computer + ".json";
  run.started = std::move(started);
  run.ended = "2026-12-01T08:00:00.000Z";
  run.finished = true;
  run.steps = std::move(steps);
  return run;
}

// Two machines, one of them named to break out of the page, and a broken file.
Fleet HostileFleet() {
  std::vector<RunFacts> runs;
  runs.push_back(Run("<script>alert(1)</script>", "2026-12-01T07:00:00.000Z",
                     {{"entry", "Tools.1", "=cmd|' /C calc'!A0", "error", 1603, 10}}));
  runs.push_back(Run("PC-\"2\"", "2026-12-01T07:00:00.000Z",
                     {{"entry", "Tools.1", "7-Zip", "success", 0, 10},
                      {"entry", "Tools.2", "Office, \"full\"", "warning", 0, 10}}));
  runs.push_back(Run("PC-\"2\"", "2026-11-30T07:00:00.000Z", {}));
  return GatherFleet(std::move(runs), {{"bad<b>.json", "not JSON"}});
}

TEST(FleetPages, CsvFieldsQuoteAsRfc4180AndDisarmFormulas) {
  struct Row {
    const char* text;
    const char* field;
  };
  const Row rows[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"=1+1", "'=1+1"},
      {"+49 30", "'+49 30"},
      {"-2", "'-2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"},
      {"=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
      {"a=b", "a=b"},
  };
  for (const Row& row : rows) EXPECT_EQ(CsvField(row.text), row.field) << row.text;
}

TEST(FleetPages, HtmlEscapesEverythingMarkupCouldHide) {
  EXPECT_EQ(HtmlEscaped("<a href='x'>\"&\"</a>"),
            "&lt;a href=&#39;x&#39;&gt;&quot;&amp;&quot;&lt;/a&gt;");
}

TEST(FleetPages, ThePageShowsEveryMachineOnceAndNamesComeOutAsText) {
  const std::string html = FleetHtml(HostileFleet());
  EXPECT_EQ(Count(html, "<script"), 1u) << "only the page's own script";
  EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_EQ(Count(html, "<tr data-outcome="), 2u);
  EXPECT_NE(html.find("<tr data-outcome=\"failed\"><td>&lt;script&gt;"), std::string::npos);
  EXPECT_NE(html.find("PC-&quot;2&quot;"), std::string::npos);
  EXPECT_NE(html.find("<summary>2</summary>"), std::string::npos) << "the earlier run is kept";
  EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt; (1603)"), std::string::npos)
      << "the failed entry with its machine and exit code";
  EXPECT_NE(html.find("bad&lt;b&gt;.json"), std::string::npos);
  // Nothing comes from elsewhere: no source, link or address of any kind.
  EXPECT_FALSE(std::regex_search(html, std::regex(R"((src|href)\s*=|https?:|//[a-z])")));
}

TEST(FleetPages, TheCsvHasOneRowPerMachineAndStepOfTheLatestRun) {
  const std::string csv = FleetCsv(HostileFleet());
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF"
                      "computer,runs,",
                      0),
            0u);
  EXPECT_EQ(Count(csv, "\r\n"), 1u + 1u + 2u) << "a header, one step, two steps";
  EXPECT_NE(csv.find("\r\n<script>alert(1)</script>,1,failed,,2026-12-01T07:00:00.000Z,,"
                     "<script>alert(1)</script>.json,entry,Tools.1,'=cmd|' /C calc'!A0,error,"
                     "1603,10\r\n"),
            std::string::npos);
  EXPECT_NE(csv.find("\"PC-\"\"2\"\"\",2,warning,"), std::string::npos);
  EXPECT_NE(csv.find(",\"Office, \"\"full\"\"\",warning,0,10\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tarn::report
