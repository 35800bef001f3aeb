#include "test_summary.h"

#include <cstdlib>
#include <set>
#include <stdexcept>

namespace lumora::tools {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameChar(char c) {
  return !IsSpace(c) && c != '=' && c != '>' && c != '/' && c != '<' && c != '"' && c != '\'';
}

// &lt; &gt; &amp; &quot; &apos; and numeric references below 128; anything
// else stays as written (the counts and program names need no more).
std::string DecodeEntities(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    std::size_t end = text.find(';', i);
    if (end == std::string_view::npos) {
      out += text.substr(i);
      break;
    }
    std::string_view entity = text.substr(i + 1, end - i - 1);
    if (entity == "lt") out += '<';
    else if (entity == "gt") out += '>';
    else if (entity == "amp") out += '&';
    else if (entity == "quot") out += '"';
    else if (entity == "apos") out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      long code = entity[1] == 'x' ? std::strtol(std::string(entity.substr(2)).c_str(), nullptr, 16)
                                   : std::strtol(std::string(entity.substr(1)).c_str(), nullptr, 10);
      if (code > 0 && code < 128) out += static_cast<char>(code);
      else out.append(text.substr(i, end - i + 1));
    } else {
      out.append(text.substr(i, end - i + 1));
    }
    i = end;
  }
  return out;
}

// Skips from pos (just past an opening "<!--" etc.) to past the closing text.
std::size_t SkipPast(std::string_view xml, std::size_t pos, std::string_view closing) {
  std::size_t end = xml.find(closing, pos);
  if (end == std::string_view::npos) throw std::runtime_error("unterminated XML construct");
  return end + closing.size();
}

long Count(const XmlTag& tag, const std::string& attribute) {
  auto it = tag.attributes.find(attribute);
  if (it == tag.attributes.end()) return 0;
  char* end = nullptr;
  long value = std::strtol(it->second.c_str(), &end, 10);
  if (it->second.empty() || *end != '\0' || value < 0) {
    throw std::runtime_error("attribute " + attribute + " is not a count: " + it->second);
  }
  return value;
}

}  // namespace

std::vector<XmlTag> ReadStartTags(std::string_view xml) {
  std::vector<XmlTag> tags;
  std::size_t pos = 0;
  while ((pos = xml.find('<', pos)) != std::string_view::npos) {
    std::string_view rest = xml.substr(pos);
    if (rest.starts_with("<!--")) {
      pos = SkipPast(xml, pos + 4, "-->");
    } else if (rest.starts_with("<![CDATA[")) {
      pos = SkipPast(xml, pos + 9, "]]>");
    } else if (rest.starts_with("<?")) {
      pos = SkipPast(xml, pos + 2, "?>");
    } else if (rest.starts_with("<!")) {
      pos = SkipPast(xml, pos + 2, ">");
    } else if (rest.starts_with("</")) {
      pos = SkipPast(xml, pos + 2, ">");
    } else {
      XmlTag tag;
      std::size_t i = pos + 1;
      while (i < xml.size() && IsNameChar(xml[i])) tag.name += xml[i++];
      for (;;) {
        while (i < xml.size() && IsSpace(xml[i])) ++i;
        if (i >= xml.size()) throw std::runtime_error("unterminated tag <" + tag.name);
        if (xml[i] == '>') { ++i; break; }
        if (xml[i] == '/' && i + 1 < xml.size() && xml[i + 1] == '>') { i += 2; break; }
        std::string attribute;
        while (i < xml.size() && IsNameChar(xml[i])) attribute += xml[i++];
        while (i < xml.size() && IsSpace(xml[i])) ++i;
        if (attribute.empty() || i >= xml.size() || xml[i] != '=') {
          throw std::runtime_error("malformed attribute in <" + tag.name);
        }
        ++i;
        while (i < xml.size() && IsSpace(xml[i])) ++i;
        if (i >= xml.size() || (xml[i] != '"' && xml[i] != '\'')) {
          throw std::runtime_error("unquoted attribute " + attribute + " in <" + tag.name);
        }
        char quote = xml[i++];
        std::size_t end = xml.find(quote, i);
        if (end == std::string_view::npos) throw std::runtime_error("unterminated attribute " + attribute);
        tag.attributes[attribute] = DecodeEntities(xml.substr(i, end - i));
        i = end + 1;
      }
      tags.push_back(std::move(tag));
      pos = i;
    }
  }
  return tags;
}

ProgramReport ReadProgramReport(std::string name, std::string_view xml) {
  for (const XmlTag& tag : ReadStartTags(xml)) {
    if (tag.name != "testsuites") continue;
    ProgramReport report;
    report.name = std::move(name);
    report.tests = Count(tag, "tests");
    report.failures = Count(tag, "failures");
    report.disabled = Count(tag, "disabled");
    report.errors = Count(tag, "errors");
    return report;
  }
  throw std::runtime_error("report " + name + " has no <testsuites> element");
}

std::vector<std::string> ReadFailedPrograms(std::string_view junit) {
  std::vector<std::string> failed;
  for (const XmlTag& tag : ReadStartTags(junit)) {
    if (tag.name != "testcase") continue;
    auto status = tag.attributes.find("status");
    auto name = tag.attributes.find("name");
    if (name == tag.attributes.end()) continue;
    if (status == tag.attributes.end() || (status->second != "run" && status->second != "disabled")) {
      failed.push_back(name->second);
    }
  }
  return failed;
}

Summary Summarize(const std::vector<ProgramReport>& reports,
                  const std::vector<std::string>& failed_programs) {
  Summary summary;
  std::map<std::string, const ProgramReport*> by_name;
  for (const ProgramReport& r : reports) {
    summary.lines.push_back("  " + r.name + ": " + std::to_string(r.tests) + " tests, " +
                            std::to_string(r.failures) + " failures, " + std::to_string(r.errors) + " errors");
    summary.passed += r.tests - r.failures - r.disabled - r.errors;
    summary.failed += r.failures + r.errors;
    by_name.emplace(r.name, &r);
  }
  std::set<std::string> counted;
  for (const std::string& name : failed_programs) {
    if (!counted.insert(name).second) continue;
    auto it = by_name.find(name);
    if (it == by_name.end() || (it->second->failures == 0 && it->second->errors == 0)) {
      summary.lines.push_back("  " + name + ": crashed or timed out");
      summary.failed += 1;
    }
  }
  return summary;
}

std::string FinalLine(const Summary& summary) {
  return std::to_string(summary.passed) + " passed, " + std::to_string(summary.failed) + " failed";
}

}  // namespace lumora::tools
