#include "generator/run/SiteManifest.h"

#include <cstdio>
#include <cstdlib>

#include "support/Hash.h"

namespace tarnwick {

namespace {

constexpr std::string_view kHeader = "tarnwick manifest 2\n";

// A text on one line of the manifest: backslash, tab and line end escaped.
std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// Reads the numbers of a line one after the other; ok() false once one is
// missing or not followed by a blank.
class Fields {
public:
    // line must outlive the object.
    explicit Fields(const std::string& line, size_t from) : m_at(line.c_str() + from) {}
    uint64_t hex() { return check(std::strtoull(m_at, &m_end, 16)); }
    int64_t integer() { return check(std::strtoll(m_at, &m_end, 10)); }
    double real() { return check(std::strtod(m_at, &m_end)); }
    bool ok() const { return m_ok; }
    const char* rest() const { return m_at; }

private:
    template <typename T>
    T check(T value) {
        if (m_end == m_at || (*m_end != ' ' && *m_end != '\t')) m_ok = false;
        m_at = *m_end ? m_end + 1 : m_end;
        return value;
    }
    const char* m_at;
    char* m_end = nullptr;
    bool m_ok = true;
};

void parsePage(const std::string& line, SiteManifest& m) {
    Fields f(line, 0);
    PageRecord page{f.hex(), f.integer(), f.integer()};
    // render() wrote them in order: each goes in at the end.
    if (f.ok() && *f.rest()) m.pages.insert_or_assign(m.pages.end(), f.rest(), page);
}

ModuleRecord* parseModule(const std::string& line, SiteManifest& m) {
    Fields f(line, 7);
    const uint64_t key = f.hex();
    const int64_t lines = f.integer();
    if (!f.ok() || lines < 0) return nullptr;
    ModuleRecord& module = m.modules[key];
    module.consoleLines = static_cast<int>(lines);
    module.consoleLine = f.rest();
    return &module;
}

void parseInput(const std::string& line, SiteManifest& m) {
    Fields f(line, 6);
    InputRecord input;
    input.hash = f.hex();
    input.stamp.size = f.integer();
    input.stamp.mtime = f.integer();
    input.stamp.inode = f.hex();
    if (f.ok() && *f.rest()) m.inputs[unescape(f.rest())] = input;
}

void parseReport(const std::string& line, SiteManifest& m) {
    if (line.size() < 10 || line[8] != ' ') return;
    ReportEvent event;
    event.kind = static_cast<ReportEvent::Kind>(line[7]);
    Fields f(line, 9);
    event.count = static_cast<int>(f.integer());
    event.line = static_cast<int>(f.integer());
    event.value = f.real();
    event.max = f.real();
    if (!f.ok()) return;
    const std::string_view rest = f.rest();
    const size_t tab = rest.find('\t');
    event.a = unescape(rest.substr(0, tab));
    if (tab != std::string_view::npos) event.b = unescape(rest.substr(tab + 1));
    m.report.push_back(std::move(event));
}

void parseRun(const std::string& line, SiteManifest& m) {
    const std::string fields = line + ' ';  // the page count ends like every number
    Fields f(fields, 4);
    const uint64_t key = f.hex();
    const int64_t pages = f.integer();
    if (!f.ok() || pages < 0) return;
    m.runKey = key;
    m.runPages = static_cast<int>(pages);
}

}  // namespace

SiteManifest SiteManifest::parse(std::string_view text, uint64_t given) {
    SiteManifest m;
    m.given = given;
    const std::string givenLine = "given " + hex16(given) + "\n";
    if (!text.starts_with(kHeader)) return m;
    text.remove_prefix(kHeader.size());
    if (!text.starts_with(givenLine)) return m;  // another tool version or timestamp source
    text.remove_prefix(givenLine.size());
    ModuleRecord* module = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos) break;  // a cut-off line: not trusted
        const std::string line(text.substr(0, end));
        text.remove_prefix(end + 1);
        if (line.starts_with("  \t")) {
            const size_t tab = line.find('\t', 3);
            if (module && tab != std::string::npos)
                module->links[unescape(line.substr(3, tab - 3))] = unescape(line.substr(tab + 1));
            continue;
        }
        if (line.starts_with("  ")) {
            if (module) module->pages.push_back(line.substr(2));
            continue;
        }
        module = nullptr;
        if (line.starts_with("module "))
            module = parseModule(line, m);
        else if (line.starts_with("input "))
            parseInput(line, m);
        else if (line.starts_with("report "))
            parseReport(line, m);
        else if (line.starts_with("run "))
            parseRun(line, m);
        else
            parsePage(line, m);
    }
    return m;
}

std::string SiteManifest::render() const {
    std::string text(kHeader);
    text += "given " + hex16(given) + "\n";
    // A line per page: appended in place, the site's pages are thousands.
    char numbers[80];
    for (const auto& [path, e] : pages) {
        const int n = std::snprintf(
            numbers, sizeof numbers, "%016llx %lld %lld ", static_cast<unsigned long long>(e.hash),
            static_cast<long long>(e.size), static_cast<long long>(e.mtime));
        text.append(numbers, static_cast<size_t>(n)).append(path) += '\n';
    }
    for (const auto& [key, record] : modules) {
        text += "module " + hex16(key) + ' ' + std::to_string(record.consoleLines) + ' ' +
                record.consoleLine + '\n';
        for (const std::string& page : record.pages) text.append("  ").append(page) += '\n';
        for (const auto& [query, answer] : record.links)
            text += "  \t" + escape(query) + '\t' + escape(answer) + '\n';
    }
    for (const auto& [path, e] : inputs) {
        text += "input " + hex16(e.hash) + ' ' + std::to_string(e.stamp.size) + ' ' +
                std::to_string(e.stamp.mtime) + ' ' + hex16(e.stamp.inode) + ' ' + escape(path) +
                '\n';
    }
    if (runKey == 0) return text;
    text += "run " + hex16(runKey) + ' ' + std::to_string(runPages) + '\n';
    for (const ReportEvent& e : report) {
        text += "report ";
        text += static_cast<char>(e.kind);
        text += ' ' + std::to_string(e.count) + ' ' + std::to_string(e.line) + ' ' +
                number(e.value) + ' ' + number(e.max) + ' ' + escape(e.a) + '\t' + escape(e.b) +
                '\n';
    }
    return text;
}

}  // namespace tarnwick
