// The settings file: what it refuses, what it sets, and that writing keeps what it does not own.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "generator/run/InputKey.h"
#include "generator/settings/RequestCheck.h"
#include "generator/settings/SettingsFields.h"
#include "generator/settings/SettingsFile.h"
#include "generator/site/Listing.h"
#include "model/CFunction.h"
#include "model/CHelper.h"
#include "model/CImplementation.h"
#include "model/CProperty.h"
#include "model/CVariable.h"
#include "support/Text.h"

namespace tarnwick {
namespace {

const std::string kThemes = TARNWICK_SOURCE_DIR "/Themes";
const std::string kTranslation = TARNWICK_SOURCE_DIR "/Translation.lng";

TEST(SettingsFile, RefusesUnknownKeysAndBadValuesNamingFileLineAndValue) {
    using namespace std::string_view_literals;
    struct Row {
        std::string_view text;
        const char* message;  // after "dir/P.tarnwick:"
    };
    const Row rows[] = {
        {"[generate]\nfoo = 1\n", "2: unknown key \"foo\""},
        {"[generate]\r\n\r\nscopes = public,secret\r\n", "3: bad value \"public,secret\""},
        {"[generate]\nkinds = classes\nmembers = gadgets", "3: bad value \"gadgets\" for members"},
        {"[generate]\nsections = uml,footer\n", "2: bad value \"uml,footer\""},
        {"[generate]\nstyle = Nope\n", "2: bad value \"Nope\" for style: unknown style"},
        {"[generate]\nstyle = ../Slate\n", "2: bad value \"../Slate\""},
        {"[generate]\ncodepage = klingon-42\n", "2: bad value \"klingon-42\""},
        {"[generate]\nlayout = tabs\n", "2: bad value \"tabs\" for layout: not frames or modern"},
        {"[generate]\njobs = 0\n", "2: bad value \"0\" for jobs"},
        {"[generate]\njobs = 4x\n", "2: bad value \"4x\" for jobs"},
        {"[generate]\njobs = 257\n",
         "2: bad value \"257\" for jobs: not a whole number from 1 to 256"},
        {"[generate]\nlanguage = German\n",
         "2: bad value \"German\" for language: unknown language \"German\" (known: Deutsch, "
         "English, the sections of " TARNWICK_SOURCE_DIR "/Translation.lng)"},
        {"[generate]\ndefine = DEBUG\n", "2: bad value \"DEBUG\" for define"},
        {"[generate]\noutput =\n", "2: bad value \"\" for output"},
        {"[generate]\nkinds = classes\nKinds = forms\n", "3: key \"kinds\" given twice"},
        {"[generate]\njust words\n", "2: \"just words\" is no key = value line"},
        {"[generate]\n[other]\n[Generate]\n", "3: section [generate] given twice"},
        // Encodings in which a name's bytes could spell markup.
        {"[generate]\noutput-encoding = UTF-16LE\n",
         "2: bad value \"UTF-16LE\" for output-encoding: a browser could read text in it as "
         "markup (known: UTF-8, windows-874, windows-1250"},
        {"[generate]\noutput-encoding = IBM037\n", "2: bad value \"IBM037\" for output-encoding"},
        {"[generate]\noutput-encoding = UTF-7\n", "2: bad value \"UTF-7\" for output-encoding"},
        {"[generate]\nkinds =\n", "2: bad value \"\" for kinds: it names nothing"},
        {"[generate]\nkinds = , \n", "2: bad value \",\" for kinds: it names nothing"},
        // Read as bytes, UTF-16 would match no key and be ignored without a word.
        {"\xFF\xFE[\0g\0e\0n\0]\0"sv, " the file is in UTF-16"},
        {"\xFE\xFF\0[\0g\0e\0n\0]"sv, " the file is in UTF-16"},
        {"\0[\0g\0e\0n\0e\0r\0a\0t\0e\0]"sv, " the file holds NUL bytes"},
    };
    for (const Row& row : rows) {
        const auto file = SettingsFile::parse("dir/P.tarnwick", row.text, kThemes, kTranslation);
        ASSERT_FALSE(file) << row.text;
        EXPECT_NE(file.error().message.find(std::string("dir/P.tarnwick:") + row.message),
                  std::string::npos)
            << row.text << " -> " << file.error().message;
    }
}

TEST(SettingsFile, AppliesItsChoicesWithPathsFromItsFolder) {
    const auto file = SettingsFile::parse("/p/Ledger.tarnwick",
                                          "; mine\n[other]\nfoo = bar\n[Generate]\n"
                                          "Output = \"../doc site\"\nscopes = Public,\tfriend\n"
                                          "sections =\nstyle = Slate\ndefine = A=1,\tB=2\n"
                                          "define = C=3\nregistry = /r/system.reg\n"
                                          "language = english\njobs = 256\nlayout = Modern\n",
                                          kThemes, kTranslation);
    ASSERT_TRUE(file) << file.error().message;
    GenerationRequest request;
    request.defines = {"D=4"};
    file.value().applyTo(request);
    const GenerationSettings& s = request.settings;
    EXPECT_EQ(request.outputFolder + "|" + request.registryFile + "|" + request.style + "|" +
                  request.language + "|" + std::to_string(request.jobs),
              "/doc site|/r/system.reg|Slate|english|256");
    // Kinds not given: as they were.
    EXPECT_TRUE(s.Public && s.Friend && !s.Private && !s.Global && !s.Syntax && !s.Uml &&
                !s.Libraries && s.Classes && s.layout == PageLayout::Modern);
    EXPECT_EQ(request.defines, (std::vector<std::string>{"A=1", "B=2", "C=3", "D=4"}));
    EXPECT_EQ(SettingsFile::pathForProject("/p/Ledger.vbp"), "/p/Ledger.tarnwick");
}

TEST(SettingsFile, WritingKeepsCommentsUnknownSectionsAndLineEnds) {
    const std::string text =
        "; the ledger's site\r\n[generate]\r\n# made by hand\r\nscopes=public\r\n"
        "language = English\r\n\r\n[ci]\r\nnightly = yes\r\n";
    auto file = SettingsFile::parse("/p/Ledger.tarnwick", text, kThemes);
    ASSERT_TRUE(file) << file.error().message;
    GenerationRequest chosen;
    chosen.settings = GenerationSettings();
    chosen.outputFolder = "/p/doc/";
    chosen.settings.Public = chosen.settings.Private = chosen.settings.Classes =
        chosen.settings.Uml = true;
    chosen.style = "Slate";
    chosen.settings.layout = PageLayout::Modern;
    file.value().storeChoices(chosen);
    EXPECT_EQ(
        file.value().text(),
        "; the ledger's site\r\n[generate]\r\n# made by hand\r\nscopes=public,private\r\n"
        "language = English\r\noutput = doc\r\nkinds = classes\r\nmembers =\r\n"
        "sections = uml\r\nstyle = Slate\r\nlayout = modern\r\n\r\n[ci]\r\nnightly = yes\r\n");
    // What was written reads back as the same choices; a folder elsewhere stays absolute.
    const auto again = SettingsFile::parse("/p/Ledger.tarnwick", file.value().text(), kThemes);
    ASSERT_TRUE(again) << again.error().message;
    EXPECT_EQ(again.value().resolvedPath("output"), "/p/doc");
    // No kind ticked: the file keeps the list it had rather than one it would refuse.
    chosen.settings.Classes = false;
    file.value().storeChoices(chosen);
    EXPECT_NE(file.value().text().find("\r\nkinds = classes\r\n"), std::string::npos);

    auto fresh = SettingsFile::parse("/p/Ledger.tarnwick", "", kThemes);
    ASSERT_TRUE(fresh);
    chosen.outputFolder = "/elsewhere/doc";
    fresh.value().storeChoices(chosen);
    EXPECT_EQ(fresh.value().text().substr(0, 34), "[generate]\noutput = /elsewhere/doc");
}

// What the command line, the workbench and the run refuse alike, naming the
// value; the pages' encoding is the output encoding, else the project's code page.
TEST(RequestCheck, RefusesWhatNoRunCanUseNamingTheValue) {
    const struct {
        const char* codePage;
        const char* outputEncoding;
        const char* language;  // chosen by the user; null: the locale's
        const char* style;
        int jobs;
        const char* refusal;  // part of the message; empty: accepted
    } rows[] = {
        {"windows-1252", "", nullptr, "", 0, ""},
        {"UTF-16LE", "UTF-8", nullptr, "", 0, ""},
        {"windows-1252", "UTF-8", "English", "Slate", 256, ""},
        {"IBM037", "cp1252", nullptr, "", 1, ""},
        {"UTF-16LE", "", nullptr, "", 0, "\"UTF-16LE\", the code page of the project's files"},
        {"windows-1252", "UTF-16BE", nullptr, "", 0, "\"UTF-16BE\": a browser could read"},
        {"GBK", "IBM037", nullptr, "", 0, "\"IBM037\""},
        {"klingon-42", "UTF-8", nullptr, "", 0, "unknown code page: klingon-42"},
        {"windows-1252", "klingon-42", nullptr, "", 0, "unknown code page: klingon-42"},
        {"windows-1252", "", "German", "", 0, "unknown language \"German\""},
        {"windows-1252", "", nullptr, "../Slate", 0, "\"../Slate\""},
        {"windows-1252", "", nullptr, "", 257, "257: not a whole number from 1 to 256"},
    };
    for (const auto& row : rows) {
        GenerationRequest request;
        request.codePage = row.codePage;
        request.outputEncoding = row.outputEncoding;
        request.language = row.language ? row.language : "German";
        request.translationFile = kTranslation;
        request.style = row.style;
        request.themesFolder = kThemes;
        request.jobs = row.jobs;
        const Status checked = checkRequest(request, row.language != nullptr);
        const std::string message = checked ? "" : checked.error().message;
        EXPECT_EQ(message.empty(), !*row.refusal) << row.codePage << " " << row.outputEncoding;
        EXPECT_NE(message.find(row.refusal), std::string::npos) << message;
    }
}

// The word of a kind in --kinds and --members (and the dialog's box, the
// file's key) switches that kind's pages or tables and no other.
TEST(SettingsFields, AKindsWordSwitchesThatKindAlone) {
    struct Row {
        FieldList list;
        std::string word;
        std::optional<ModuleKind> module;
        std::optional<ElementKind> element;
    };
    std::vector<Row> rows;
    for (const ModuleKind kind : kDocumentedModuleKinds)
        rows.push_back({FieldList::Kinds, toLower(kindTraits(kind).listName), kind, {}});
    for (const ElementKind kind : kVocabularyOrder)
        rows.push_back({FieldList::Members, toLower(kindTraits(kind).listName), {}, kind});
    for (const Row& row : rows) {
        GenerationSettings settings;
        ASSERT_EQ(applyWords(row.word, row.list, settings), "") << row.word;
        for (const Row& other : rows) {
            const bool on = other.module ? kindSwitchedOn(*other.module, settings)
                                         : kindSwitchedOn(*other.element, settings);
            EXPECT_EQ(on, other.word == row.word) << row.word << " switches " << other.word;
        }
    }
}

// A re-run must not keep pages made with another value of any field.
TEST(SettingsFields, EveryFieldEntersTheRunsKey) {
    const PageContext ctx;
    const GenerationRequest request;
    for (const SettingsField& field : kSettingsFields) {
        GenerationRequest flipped = request;
        flipped.settings.*field.flag = !(request.settings.*field.flag);
        EXPECT_NE(InputKey::settingsKey(flipped, ctx, 0), InputKey::settingsKey(request, ctx, 0))
            << field.name;
    }
}

// Listed when kind and effective scope are; an implemented interface has no scope at all.
TEST(Listing, KindAndEffectiveScopeDecide) {
    const auto variable = [] { return std::make_shared<CVariable>(); };
    const auto function = [] { return std::make_shared<CFunction>(); };
    struct Row {
        const char* what;
        std::shared_ptr<Element> member;
        int scope;
        bool GenerationSettings::*off;  // switched off
        bool listed;
    };
    using S = GenerationSettings;
    const Row rows[] = {
        {"Dim variable", variable(), scope::None, &S::Private, false},
        {"Dim variable, public off", variable(), scope::None, &S::Public, true},
        {"Function without scope word", function(), scope::None, &S::Public, false},
        {"Friend property", std::make_shared<CProperty>(), scope::Friend, &S::Friend, false},
        {"Global function", function(), scope::Global, &S::Private, true},
        {"Public function, functions off", function(), scope::Public, &S::Functions, false},
        {"Implements", std::make_shared<CImplementation>(), scope::Global, &S::Global, true},
    };
    for (const Row& row : rows) {
        GenerationSettings settings = GenerationSettings::dialogDefaults();
        settings.Implementations = true;
        settings.*row.off = false;
        row.member->setScope(row.scope);
        EXPECT_EQ(
            kindSwitchedOn(row.member->Kind(), settings) && scopeListed(*row.member, settings),
            row.listed)
            << row.what;
    }
}

}  // namespace
}  // namespace tarnwick
