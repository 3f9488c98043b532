#include "generator/run/SiteManifest.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>

#include "support/Hash.h"

namespace tarnwick {

namespace {

constexpr std::string_view kHeader = "tarnwick manifest 3\n";

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
// missing or not followed by a blank. The line is a view of the manifest's
// text, so a line costs no copy.
class Fields {
public:
    Fields(std::string_view line, size_t from) : m_rest(line.substr(std::min(from, line.size()))) {}
    uint64_t hex() { return number<uint64_t>(16); }
    int64_t integer() { return number<int64_t>(10); }
    double real() {
        double value = 0;
        check(std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value));
        return value;
    }
    bool ok() const { return m_ok; }
    std::string_view rest() const { return m_rest; }

private:
    template <typename T>
    T number(int base) {
        T value = 0;
        check(std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value, base));
        return value;
    }
    void check(std::from_chars_result read) {
        const size_t used = static_cast<size_t>(read.ptr - m_rest.data());
        if (read.ec != std::errc() || used == 0 || used == m_rest.size() ||
            (m_rest[used] != ' ' && m_rest[used] != '\t')) {
            m_ok = false;
        }
        m_rest.remove_prefix(std::min(used + 1, m_rest.size()));
    }
    std::string_view m_rest;
    bool m_ok = true;
};

void parsePage(std::string_view line, SiteManifest& m) {
    Fields f(line, 0);
    PageRecord page{f.hex(), f.integer(), f.integer()};
    // render() wrote them in order: each goes in at the end.
    if (f.ok() && !f.rest().empty())
        m.pages.insert_or_assign(m.pages.end(), std::string(f.rest()), page);
}

ModuleRecord* parseModule(std::string_view line, SiteManifest& m) {
    Fields f(line, 7);
    const uint64_t key = f.hex();
    const uint64_t texts = f.hex();
    const int64_t lines = f.integer();
    if (!f.ok() || lines < 0) return nullptr;
    ModuleRecord& module = m.modules[key];
    module.texts = texts;
    module.consoleLines = static_cast<int>(lines);
    module.consoleLine = f.rest();
    return &module;
}

void parseInput(std::string_view line, SiteManifest& m) {
    Fields f(line, 6);
    InputRecord input;
    input.hash = f.hex();
    input.stamp.size = f.integer();
    input.stamp.mtime = f.integer();
    input.stamp.inode = f.hex();
    if (f.ok() && !f.rest().empty()) m.inputs[unescape(f.rest())] = input;
}

void parseReport(std::string_view line, SiteManifest& m) {
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

void parseRun(std::string_view line, SiteManifest& m) {
    const std::string fields = std::string(line) + ' ';  // the page count ends like every number
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
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.starts_with("  \t")) {
            const size_t tab = line.find('\t', 3);
            if (module && tab != std::string_view::npos)
                module->links[unescape(line.substr(3, tab - 3))] = unescape(line.substr(tab + 1));
            continue;
        }
        if (line.starts_with("  ")) {
            if (module) module->pages.emplace_back(line.substr(2));
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
    text.reserve(text.size() + pages.size() * 96);
    for (const auto& [path, e] : pages) {
        // "hash size mtime ": the hash in 16 hex digits, zeros in front.
        char numbers[64];
        for (int i = 0; i < 16; ++i) numbers[i] = "0123456789abcdef"[(e.hash >> (60 - 4 * i)) & 15];
        numbers[16] = ' ';
        char* at = std::to_chars(numbers + 17, numbers + 39, e.size).ptr;
        *at = ' ';
        at = std::to_chars(at + 1, numbers + 62, e.mtime).ptr;
        *at++ = ' ';
        text.append(numbers, at).append(path) += '\n';
    }
    for (const auto& [key, record] : modules) {
        text += "module " + hex16(key) + ' ' + hex16(record.texts) + ' ' +
                std::to_string(record.consoleLines) + ' ' + record.consoleLine + '\n';
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
