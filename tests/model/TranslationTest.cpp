// The translation file: profile reading, the cached lookup, CHelper::Translate over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "model/CHelper.h"
#include "model/Translation.h"
#include "support/ProfileFile.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

TEST(ProfileFile, ReadsLikeTheWindowsProfileReader) {
    const auto profile = ProfileFile::parse(
        "Key=outside any section\r\n"
        "[First]\r\n"
        "; a comment=no\r\n"
        "  Spaced  =  value with blanks  \r\n"
        "Quoted=\"  kept inside  \"\r\n"
        "Single='x'\r\n"
        "Mismatched=\"x'\r\n"
        "Twice=first\r\n"
        "Twice=second\r\n"
        "NoEquals\r\n"
        "Empty=\r\n"
        "Equals=a=b\n"
        "[first]\n"
        "Later=only in the second section of that name\n"
        "[ Other ]\n"
        "Tab\t=\tvalue\t\n");
    struct {
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    } const cases[] = {
        {"First", "Spaced", "value with blanks"},
        {"FIRST", "spaced", "value with blanks"},
        {"First", "Quoted", "  kept inside  "},
        {"First", "Single", "x"},
        {"First", "Mismatched", "\"x'"},
        {"First", "Twice", "first"},
        {"First", "NoEquals", std::nullopt},
        {"First", "Empty", ""},
        {"First", "Equals", "a=b"},
        {"First", "; a comment", std::nullopt},
        {"First", "Key", std::nullopt},
        {"First", "Later", std::nullopt},
        {"Other", "Tab", "value"},
        {"Missing", "Key", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(profile.value(c.section, c.key), c.expected) << c.section << "/" << c.key;
    // A byte-order mark is no part of the first section's name.
    EXPECT_EQ(ProfileFile::parse("\xEF\xBB\xBF[A]\nk=v").value("A", "k"), "v");
}

TEST(Translation, MissingFileGivesDefaults) {
    auto translation = Translation::load("/nonexistent/tarnwick/Translation.lng");
    EXPECT_FALSE(translation.loaded());
    CHelper helper(&translation);
    EXPECT_EQ(translation.lookup("Deutsch", "UML", "UML") + helper.Translate("NoDesc", "No desc.") +
                  helper.Translate("Scope") + CHelper().Translate("Scope", ""),
              "UMLNo desc.ScopeScope");
    EXPECT_TRUE(Translation::defaultPath().ends_with("/Translation.lng"));
}

TEST(Translation, LookupRules) {
    std::string umlauts;
    for (int i = 0; i < 300; ++i) umlauts += "\xE4";  // 'ä' in windows-1252
    testing::TempFolder tmp;
    const std::string file = tmp.write("t.lng",
                                       "[Deutsch]\r\nUML=\xDC"
                                       "bersicht\r\nEmpty=\r\nLong=" +
                                           std::string(300, 'x') + "\r\nUmlauts=" + umlauts +
                                           "\r\n[English]\r\nUML=Overview\r\n");
    auto translation = Translation::load(file);
    EXPECT_EQ(translation.path(), file);
    std::filesystem::remove(file);  // the file is gone; the parsed text stays
    std::string cut;                // the cut counts characters, not bytes
    for (int i = 0; i < 254; ++i) cut += "ä";
    struct {
        const char* section;
        const char* key;
        const char* defaultText;
        std::string expected;
    } const cases[] = {
        {"Deutsch", "UML", "UML", "Übersicht"},
        {"deutsch", "uml", "UML", "Übersicht"},
        {"English", "UML", "UML", "Overview"},
        {"Deutsch", "Missing", "fallback", "fallback"},
        {"Francais", "UML", "UML", "UML"},
        {"Deutsch", "Empty", "fallback", ""},
        {"Deutsch", "Long", "", std::string(254, 'x')},
        {"Deutsch", "Umlauts", "", cut},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translation.lookup(c.section, c.key, c.defaultText), c.expected)
            << c.section << "/" << c.key;
    CHelper german(&translation, "Deutsch");
    EXPECT_EQ(german.Translate("UML", "UML") + german.Translate("Empty", "Empty") + "|" +
                  CHelper(&translation, "English").Translate("UML"),
              "Übersicht|Overview");

    const std::string bom = tmp.write("bom.lng", "\xEF\xBB\xBF[Deutsch]\nOverview=Übersicht\n");
    EXPECT_EQ(Translation::load(bom).lookup("Deutsch", "Overview", ""), "Übersicht");
}

// Both sections of the shipped file hold the same keys: no page falls back to another language.
TEST(Translation, ShippedFileHasBothLanguages) {
    auto translation = Translation::load(TARNWICK_SOURCE_DIR "/Translation.lng");
    EXPECT_EQ(translation.lookup("Deutsch", "Returns", "?"), "Rückgabewert");
    std::ifstream in(TARNWICK_SOURCE_DIR "/Translation.lng", std::ios::binary);
    std::map<std::string, std::set<std::string>> keys;
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("["))
            section = line.substr(1, line.find(']') - 1);
        else if (!line.starts_with(";") && line.find('=') != std::string::npos)
            keys[section].insert(line.substr(0, line.find('=')));
    }
    EXPECT_EQ(keys["Deutsch"], keys["English"]);
    EXPECT_GT(keys["English"].size(), 90u);
}

TEST(Translation, LanguageFollowsTheLocale) {
    struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* language;
    } const rows[] = {
        {nullptr, nullptr, nullptr, "English"},       {nullptr, nullptr, "de_DE.UTF-8", "Deutsch"},
        {nullptr, nullptr, "en_US.UTF-8", "English"}, {"", "de_AT", "en_GB", "Deutsch"},
        {"C", "de_DE", "de_DE", "English"},           {"de_CH.UTF-8", "en_US", nullptr, "Deutsch"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Translation::languageForLocale(row.lcAll, row.lcMessages, row.lang), row.language)
            << (row.lcAll ? row.lcAll : "-") << " " << (row.lcMessages ? row.lcMessages : "-")
            << " " << (row.lang ? row.lang : "-");
    }
}

}  // namespace
}  // namespace tarnwick
