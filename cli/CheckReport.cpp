#include "cli/CheckReport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "support/BuildInfo.h"

namespace tarnwick::cli {

namespace {

using Json = nlohmann::ordered_json;

struct Rule {
    FindingKind kind;
    const char* id;     // SARIF rule id and JSON kind
    const char* title;  // GitHub annotation title, SARIF short description
};

// Every kind of finding the checks make.
constexpr Rule kRules[] = {
    {FindingKind::Undocumented, "undocumented-member", "Undocumented member"},
    {FindingKind::Unused, "unused-private-member", "Unused private member"},
    {FindingKind::UsedOnlyWhereOff, "private-member-used-only-where-off",
     "Private member used only where #If is off"},
};

const Rule& ruleOf(FindingKind kind) {
    for (const Rule& rule : kRules)
        if (rule.kind == kind) return rule;
    return kRules[0];
}

std::string percentEncoded(std::string_view text, std::string_view also) {
    std::string out;
    for (const char c : text) {
        if (c == '%' || c == '\r' || c == '\n' || also.find(c) != std::string_view::npos) {
            static const char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[static_cast<unsigned char>(c) >> 4];
            out += hex[static_cast<unsigned char>(c) & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string github(const CheckResults& results) {
    std::string out;
    for (const Finding& f : results.findings)
        out += "::warning file=" + githubProperty(f.file) + ",line=" + std::to_string(f.line) +
               ",title=" + githubProperty(ruleOf(f.kind).title) + "::" + githubMessage(f.message) +
               '\n';
    return out;
}

// A file as a relative URI: under the project's folder, '/' between names,
// every byte but letters, digits, "-._~/" percent-encoded.
std::string artifactUri(const std::string& file, const std::string& folder) {
    namespace fs = std::filesystem;
    std::string path = fs::path(file).lexically_normal().generic_string();
    if (!folder.empty()) {
        const fs::path relative = fs::path(file).lexically_relative(folder);
        if (!relative.empty() && *relative.begin() != "..")
            path = relative.lexically_normal().generic_string();
    }
    std::string uri;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) != 0 && u < 0x80) {
            uri += c;
        } else if (std::string_view("-._~/").find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += percentEncoded(std::string(1, c), std::string(1, c));
        }
    }
    return uri;
}

std::string sarif(const CheckResults& results) {
    Json rules = Json::array();
    for (const Rule& rule : kRules)
        rules.push_back({{"id", rule.id}, {"shortDescription", {{"text", rule.title}}}});
    Json list = Json::array();
    for (const Finding& f : results.findings) {
        Json region = {{"startLine", std::max(f.line, 1)}};
        Json location = {
            {"physicalLocation",
             {{"artifactLocation", {{"uri", artifactUri(f.file, results.projectFolder)}}},
              {"region", region}}}};
        list.push_back({{"ruleId", ruleOf(f.kind).id},
                        {"level", "warning"},
                        {"message", {{"text", f.message}}},
                        {"locations", Json::array({location})}});
    }
    const Json driver = {{"name", "Tarnwick"},
                         {"version", buildVersion()},
                         {"informationUri", buildHomepage()},
                         {"rules", rules}};
    const Json log = {{"version", "2.1.0"},
                      {"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                      {"runs", Json::array({{{"tool", {{"driver", driver}}}, {"results", list}}})}};
    return log.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

std::string junit(const CheckResults& results) {
    std::map<std::string, std::vector<const Finding*>> byModule;
    for (const Finding& f : results.findings) byModule[f.module].push_back(&f);
    std::string cases;
    int failed = 0;
    for (const ModuleCount& m : results.modules) {
        const auto found = byModule.find(m.name);
        cases +=
            "  <testcase classname=\"" + xmlText(m.kind) + "\" name=\"" + xmlText(m.name) + "\"";
        if (found == byModule.end()) {
            cases += "/>\n";
            continue;
        }
        ++failed;
        cases += ">\n";
        for (const Finding* f : found->second)
            cases += "    <failure type=\"" + std::string(ruleOf(f->kind).id) + "\" message=\"" +
                     xmlText(f->message) + "\">" +
                     xmlText(f->file + ':' + std::to_string(f->line) + ": " + f->message) +
                     "</failure>\n";
        cases += "  </testcase>\n";
        byModule.erase(found);  // a second module of that name passes
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuite name=\"tarnwick check\" "
           "tests=\"" +
           std::to_string(results.modules.size()) + "\" failures=\"" + std::to_string(failed) +
           "\" errors=\"0\">\n" + cases + "</testsuite>\n";
}

Json coverageJson(const CheckResults& results) {
    auto share = [](int documented, int undocumented) {
        return Json{{"documented", documented},
                    {"members", documented + undocumented},
                    {"percent", coveragePercent(documented, undocumented)}};
    };
    Json modules = Json::array();
    for (const ModuleCount& m : results.modules) {
        Json entry = {{"module", m.name}, {"kind", m.kind}};
        entry.update(share(m.documented, m.undocumented));
        modules.push_back(entry);
    }
    Json kinds = Json::object();
    int documented = 0, undocumented = 0;
    for (const KindCoverage& k : results.kinds) {
        documented += k.documented;
        undocumented += k.undocumented;
        if (k.documented + k.undocumented > 0) kinds[k.kind] = share(k.documented, k.undocumented);
    }
    return {{"modules", modules}, {"kinds", kinds}, {"total", share(documented, undocumented)}};
}

std::string json(const CheckResults& results) {
    Json findings = Json::array();
    Json summary = {{"findings", results.findings.size()}};
    for (const Rule& rule : kRules) summary[rule.id] = 0;
    for (const Finding& f : results.findings) {
        findings.push_back({{"file", f.file},
                            {"line", f.line},
                            {"kind", ruleOf(f.kind).id},
                            {"member", f.member},
                            {"module", f.module},
                            {"message", f.message}});
        summary[ruleOf(f.kind).id] = summary[ruleOf(f.kind).id].get<int>() + 1;
    }
    if (!results.kinds.empty()) {
        int documented = 0;
        for (const KindCoverage& k : results.kinds) documented += k.documented;
        summary["documented"] = documented;
    }
    Json report = {{"findings", findings}, {"summary", summary}};
    if (results.coverage) report["coverage"] = coverageJson(results);
    return report.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace

bool reportFormatNamed(const std::string& name, ReportFormat& format) {
    static const std::pair<const char*, ReportFormat> names[] = {
        {"text", ReportFormat::Text},   {"github", ReportFormat::Github},
        {"sarif", ReportFormat::Sarif}, {"junit", ReportFormat::Junit},
        {"json", ReportFormat::Json},
    };
    for (const auto& [word, value] : names)
        if (name == word) {
            format = value;
            return true;
        }
    return false;
}

const char* reportFormatNames() { return "text, github, sarif, junit, json"; }

std::string renderReport(ReportFormat format, const CheckResults& results) {
    switch (format) {
        case ReportFormat::Github:
            return github(results);
        case ReportFormat::Sarif:
            return sarif(results);
        case ReportFormat::Junit:
            return junit(results);
        case ReportFormat::Json:
            return json(results);
        case ReportFormat::Text:
            break;
    }
    return {};
}

int coveragePercent(int documented, int undocumented) {
    const int all = documented + undocumented;
    return all == 0 ? 100 : static_cast<int>(static_cast<long long>(documented) * 100 / all);
}

std::string coverageLines(const CheckResults& results) {
    auto share = [](int documented, int undocumented) {
        return std::to_string(coveragePercent(documented, undocumented)) + " % (" +
               std::to_string(documented) + "/" + std::to_string(documented + undocumented) + ")\n";
    };
    std::string out;
    for (const ModuleCount& m : results.modules)
        out += "coverage: " + m.kind + " " + m.name + ": " + share(m.documented, m.undocumented);
    int documented = 0, undocumented = 0;
    for (const KindCoverage& k : results.kinds) {
        documented += k.documented;
        undocumented += k.undocumented;
        if (k.documented + k.undocumented > 0)
            out += "coverage: " + std::string(k.kind) + ": " + share(k.documented, k.undocumented);
    }
    return out + "coverage: total: " + share(documented, undocumented);
}

std::string coverageBadge(int percent) {
    const char* colour = percent >= 90   ? "#4c1"
                         : percent >= 75 ? "#a4a61d"
                         : percent >= 50 ? "#fe7d37"
                                         : "#e05d44";
    const std::string value = xmlText(std::to_string(percent) + " %");
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"92\" height=\"20\" role=\"img\" "
           "aria-label=\"docs " +
           value +
           "\">\n<rect width=\"40\" height=\"20\" fill=\"#555\"/>\n<rect x=\"40\" width=\"52\" "
           "height=\"20\" fill=\"" +
           colour +
           "\"/>\n<g fill=\"#fff\" text-anchor=\"middle\" font-family=\"Verdana,sans-serif\" "
           "font-size=\"11\">\n<text x=\"20\" y=\"14\">docs</text>\n<text x=\"66\" y=\"14\">" +
           value + "</text>\n</g>\n</svg>\n";
}

std::string githubMessage(std::string_view text) { return percentEncoded(text, ""); }

std::string githubProperty(std::string_view text) { return percentEncoded(text, ":,"); }

std::string xmlText(std::string_view text) {
    std::string out;
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
                out += "&apos;";
                break;
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20)
                    out += "\xEF\xBF\xBD";  // U+FFFD: XML 1.0 has no way to say a C0 control
                else
                    out += c;
        }
    }
    return out;
}

}  // namespace tarnwick::cli
