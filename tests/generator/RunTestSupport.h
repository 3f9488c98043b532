// Helpers of the run and site tests: a project on disk, site listings, links; the
// temporary folder is TempFolder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "generator/run/GenerationObserver.h"
#include "tests/support/TempFolder.h"

namespace tarnwick::testing {

namespace fs = std::filesystem;

inline void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A module of the test project: its kind word in the project file ("Class", "Form", ...).
struct TestModule {
    std::string kind;
    std::string name;
};

inline std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

// Per kind word: the file extension and the lines before VB_Name.
struct KindShape {
    const char* kind;
    const char* extension;
    std::vector<std::string> header;
};
inline const KindShape& shapeOf(const std::string& kind) {
    static const KindShape shapes[] = {
        {"Class", ".cls", {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END"}},
        {"Form", ".frm", {"VERSION 5.00", "Begin VB.Form frmX", "   Caption = \"X\"", "End"}},
        {"UserControl", ".ctl", {"VERSION 5.00", "Begin VB.UserControl ctlX", "End"}},
        {"PropertyPage", ".pag", {"VERSION 5.00", "Begin VB.PropertyPage ppgX", "End"}},
        {"UserDocument",
         ".dob",
         {"VERSION 5.00", "Begin VB.UserDocument docX", "   Begin VB.CommandButton cmdGo", "   End",
          "End"}},
        {"Designer",
         ".dsr",
         {"VERSION 5.00", "Begin {C0E45035-5775-11D0-B388-00A0C9055D8E} deX",
          "   BeginProperty Connection1", "      ConnectionSource = \"DSN=Ledger\"",
          "   EndProperty", "End"}},
        {"Module", ".bas", {}}};
    for (const auto& shape : shapes)
        if (kind == shape.kind) return shape;
    return shapes[std::size(shapes) - 1];
}

// A module file with a private variable, a public function and a public sub.
inline std::string moduleText(const TestModule& m) {
    std::vector<std::string> lines = shapeOf(m.kind).header;
    lines.insert(lines.end(),
                 {"Attribute VB_Name = \"" + m.name + "\"", "' The module " + m.name + ".",
                  "Option Explicit", "", "' Counts things.", "Private m_Count As Long", "",
                  "' Adds two numbers.", "' @A first", "' @B second",
                  "Public Function Add(ByVal A As Long, ByVal B As Long) As Long",
                  "    Add = A + B", "End Function", "", "' Resets the count.",
                  "Public Sub Reset()", "    m_Count = 0", "End Sub"});
    return crlf(lines);
}

// Writes folder/Test.vbp and the files m0.cls, m1.bas, ...; returns the .vbp path.
inline std::string writeProject(const fs::path& folder, const std::vector<TestModule>& modules) {
    std::vector<std::string> vbp{"Type=Exe"};
    for (const auto& m : modules) {
        const std::string file = "m" + std::to_string(vbp.size() - 1) + shapeOf(m.kind).extension;
        writeFile(folder / file, moduleText(m));
        const bool named = m.kind == "Class" || m.kind == "Module";
        vbp.push_back(m.kind + "=" + (named ? m.name + "; " : "") + file);
    }
    vbp.push_back("Name=\"Test\"");
    writeFile(folder / "Test.vbp", crlf(vbp));
    return (folder / "Test.vbp").string();
}

// Every entry below root, relative; folders end in '/', symbolic links in " -> target".
inline std::set<std::string> listTree(const fs::path& root) {
    std::set<std::string> names;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        std::string rel = it->path().lexically_relative(root).generic_string();
        if (it->is_symlink()) {
            rel += " -> " + fs::read_symlink(it->path()).generic_string();
            it.disable_recursion_pending();
        } else if (it->is_directory()) {
            rel += "/";
        }
        names.insert(rel);
    }
    return names;
}

// Links ("page: link") that reach no file, case-sensitive; anchors and schemes left out.
inline std::vector<std::string> brokenLinks(const fs::path& root, int* linkCount = nullptr) {
    // Inside a tag: a page may show an address as text (a comment on a code page).
    static const std::regex attribute(R"re(<[^<>]*\b(?:href|src)\s*=\s*"([^"]*)")re",
                                      std::regex::icase);
    static const std::regex skipped("^(#|[a-z]+:)", std::regex::icase);
    std::vector<std::string> broken;
    int links = 0;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_symlink() || e.path().extension() != ".html") continue;
        const std::string text = readFile(e.path());
        for (std::sregex_iterator m(text.begin(), text.end(), attribute), end; m != end; ++m) {
            const std::string link = (*m)[1];
            // As a browser reads it: entities, then percent-escapes.
            const std::string raw = std::regex_replace(link.substr(0, link.find_first_of("#?")),
                                                       std::regex("&amp;"), "&");
            std::string path;
            for (size_t i = 0; i < raw.size(); ++i) {
                if (raw[i] == '%' && i + 2 < raw.size()) {
                    path += static_cast<char>(std::stoi(raw.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                } else {
                    path += raw[i];
                }
            }
            if (link.empty() || std::regex_search(link, skipped)) continue;
            ++links;
            std::error_code ec;
            if (path.find('\\') != std::string::npos ||
                !fs::exists(e.path().parent_path() / path, ec))
                broken.push_back(e.path().lexically_relative(root).generic_string() + ": " + link);
        }
    }
    if (linkCount) *linkCount = links;
    return broken;
}

// Records what a run reports; cancels when told to.
class RecordingObserver : public GenerationObserver {
public:
    // BetweenPages: once the first module is announced, the third question
    // says yes: after its first page, before its second.
    enum class CancelAt { Never, WhileReading, FirstModuleStarted, FirstConsoleLine, BetweenPages };
    explicit RecordingObserver(CancelAt cancelAt = CancelAt::Never)
        : m_cancelAt(cancelAt), m_cancel(cancelAt == CancelAt::WhileReading) {}

    void moduleStarted(const std::string& kindsKey, const std::string& info) override {
        started.push_back(kindsKey + "|" + info);
        if (m_cancelAt == CancelAt::FirstModuleStarted) m_cancel = true;
    }
    void progress(double, double max, const std::string& percentText) override {
        percents.push_back(percentText);
        maxima.push_back(max);
    }
    void consoleLine(const std::string& line) override {
        console.push_back(line);
        if (m_cancelAt == CancelAt::FirstConsoleLine) m_cancel = true;
    }
    bool cancelRequested() override {
        if (m_cancelAt == CancelAt::BetweenPages && !started.empty() && ++m_asked == 3)
            m_cancel = true;
        return m_cancel;
    }
    const std::atomic<bool>* cancelFlag() const override { return &m_cancel; }

    std::vector<std::string> started, percents, console;
    std::vector<double> maxima;

private:
    CancelAt m_cancelAt;
    std::atomic<bool> m_cancel;
    int m_asked = 0;
};

}  // namespace tarnwick::testing
