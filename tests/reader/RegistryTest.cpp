// The registry lookup over regedit exports and Wine's system.reg.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "reader/modRegistry.h"

namespace tarnwick {
namespace {

using modRegistry::GetRegistryValue;
using modRegistry::kOpenFailed;
using modRegistry::kReadFailed;

class TempFile {
public:
    explicit TempFile(const std::string& bytes, const std::string& name = "") {
        static int counter = 0;
        m_folder =
            std::filesystem::temp_directory_path() /
            ("tarnwick-registry-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / (name.empty() ? "export.reg" : name)).string();
        std::ofstream(m_path, std::ios::binary) << bytes;
    }
    ~TempFile() { std::filesystem::remove_all(m_folder); }
    const std::string& path() const { return m_path; }
    std::string folder() const { return m_folder.string(); }

private:
    std::filesystem::path m_folder;
    std::string m_path;
};

std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

const char* const kLib = "TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0";
const char* const kWin32 = "TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\0\\win32";

// The same content in the regedit text forms.
std::string regedit5Text() {
    return "Windows Registry Editor Version 5.00\r\n"
           "\r\n"
           "[HKEY_CLASSES_ROOT\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0]\r\n"
           "@=\"OLE Automation\"\r\n"
           "\"Quoted\"=\"say \\\"hi\\\" \\\\ there\"\r\n"
           "\"Flags\"=dword:00000000\r\n"
           "\"Blob\"=hex:01,02,03,\\\r\n"
           "  04,05\r\n"
           "\"After\"=\"still read\"\r\n"
           "\r\n"
           "[HKEY_CLASSES_ROOT\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\0\\win32]\r\n"
           "@=\"C:\\\\Windows\\\\System32\\\\stdole2.tlb\"\r\n";
}

TEST(Registry, RegeditVersion5InUtf16WithByteOrderMark) {
    TempFile file(utf16le(regedit5Text()));
    CollectingSink sink;
    auto registry = RegistrySource::fromFiles({file.path()}, &sink);
    EXPECT_TRUE(sink.items().empty());
    struct {
        const char* subKey;
        const char* valueName;
        const char* expected;
    } const cases[] = {
        {kLib, "", "OLE Automation"},
        {kWin32, "", "C:\\Windows\\System32\\stdole2.tlb"},
        {"typelib\\{00020430-0000-0000-c000-000000000046}\\2.0", "", "OLE Automation"},
        {kLib, "quoted", "say \"hi\" \\ there"},
        {kLib, "After", "still read"},
        {kLib, "Flags", kReadFailed},  // not a string
        {kLib, "Blob", kReadFailed},
        {kLib, "Missing", kReadFailed},
        {"TypeLib\\{00020430-0000-0000-C000-000000000046}", "", kReadFailed},  // parent exists
        {"TypeLib\\{00020430-0000-0000-C000-000000000046}\\1.0", "", kOpenFailed},
        {"TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\", "", kOpenFailed},
        {"TypeLib\\*\\A..\\Other.vbp\\", "", kOpenFailed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, c.subKey, c.valueName),
                  c.expected)
            << c.subKey << " / " << c.valueName;
}

TEST(Registry, Regedit4InWindows1252UnderLocalMachineClasses) {
    TempFile file(
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\TypeLib\\{1}\\1.0]\n"
        "@=\"Bibliothek f\xFCr Zahlen\"\n"
        "\"Expand\"=hex(2):43,3a,5c,78,00\n");
    auto registry = RegistrySource::fromFiles({file.path()}, nullptr);
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "TypeLib\\{1}\\1.0", ""),
              "Bibliothek für Zahlen");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::LocalMachine,
                               "SOFTWARE\\Classes\\TypeLib\\{1}\\1.0", ""),
              "Bibliothek für Zahlen");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "TypeLib\\{1}\\1.0", "Expand"),
              "C:\\x");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::CurrentUser, "TypeLib\\{1}\\1.0", ""),
              kOpenFailed);
}

TEST(Registry, WineSystemReg) {
    TempFile file(
        "WINE REGISTRY Version 2\n"
        ";; All keys relative to \\\\Machine\n"
        "\n"
        "#arch=win32\n"
        "\n"
        "[Software\\\\Classes\\\\TypeLib\\\\{00020430-0000-0000-C000-000000000046}\\\\2.0] "
        "1576071311\n"
        "#time=1d5afd0c1d8e0b8\n"
        "@=\"OLE Automation\"\n"
        "\n"
        "[Software\\\\Classes\\\\TypeLib\\\\{00020430-0000-0000-C000-000000000046}\\\\2.0\\\\0\\\\"
        "win32] 1576071311\n"
        "@=\"C:\\\\windows\\\\system32\\\\stdole2.tlb\"\n"
        "\"Expanded\"=str(2):\"%SystemRoot%\\\\x\"\n"
        "\"Umlaut\"=\"M\\x00fcller\"\n"
        "\"Multi\"=hex(7):41,00,00,00,\\\n"
        "  00,00\n",
        "system.reg");
    auto registry = RegistrySource::fromFiles({file.path()}, nullptr);
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, kLib, ""), "OLE Automation");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, kWin32, ""),
              "C:\\windows\\system32\\stdole2.tlb");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, kWin32, "Expanded"),
              "%SystemRoot%\\x");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, kWin32, "Umlaut"), "Müller");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, kWin32, "Multi"), kReadFailed);
}

TEST(Registry, LongValuesFailLikeTheBuffer) {
    TempFile file("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\K]\r\n\"Fits\"=\"" + std::string(254, 'a') +
                  "\"\r\n\"TooLong\"=\"" + std::string(255, 'a') + "\"\r\n");
    auto registry = RegistrySource::fromFiles({file.path()}, nullptr);
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "K", "Fits"),
              std::string(254, 'a'));
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "K", "TooLong"), kReadFailed);
}

TEST(Registry, ErrorTextsAndEmptySource) {
    EXPECT_STREQ(kOpenFailed, "Der Registryeintrag konnte nicht geöffnet werden.");
    EXPECT_STREQ(kReadFailed, "Der Registryeintrag konnte nicht gelesen oder gefunden werden.");
    RegistrySource none;
    EXPECT_EQ(GetRegistryValue(none, RegistryRoot::ClassesRoot, kLib, ""), kOpenFailed);
}

TEST(Registry, FirstFileWithTheValueAnswersAndDeletionsApply) {
    TempFile first(
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\K]\n\"A\"=\"first\"\n"
        "[HKEY_CLASSES_ROOT\\Gone\\Sub]\n@=\"x\"\n[-HKEY_CLASSES_ROOT\\Gone]\n"
        "[HKEY_CLASSES_ROOT\\K2]\n\"V\"=\"x\"\n\"V\"=-\n");
    TempFile second("REGEDIT4\n[HKEY_CLASSES_ROOT\\K]\n\"A\"=\"second\"\n\"B\"=\"only here\"\n");
    auto registry = RegistrySource::fromFiles({first.path(), second.path()}, nullptr);
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "K", "A"), "first");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "K", "B"), "only here");
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "Gone\\Sub", ""), kOpenFailed);
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "K2", "V"), kReadFailed);
}

TEST(Registry, UnreadableOrForeignFilesAreReportedByName) {
    TempFile foreign("just some text\n");
    CollectingSink sink;
    auto registry = RegistrySource::fromFiles({"/nonexistent/tarnwick.reg", foreign.path()}, &sink);
    ASSERT_EQ(sink.items().size(), 2u);
    EXPECT_EQ(sink.items()[0].file, "/nonexistent/tarnwick.reg");
    EXPECT_EQ(sink.items()[1].file, foreign.path());
    EXPECT_EQ(registry.keyCount(), 0u);
}

TEST(Registry, TruncatedAndDamagedFilesNeverBreakTheReader) {
    const std::string texts[] = {
        regedit5Text(), utf16le(regedit5Text()),
        "WINE REGISTRY Version 2\n[Software\\\\Classes\\\\K\\x00e4] 1\n@=str(2):\"a\\x\"\n"
        "\"v\"=hex(2):41,00,\\\n"};
    for (const auto& text : texts) {
        for (size_t length = 0; length <= text.size(); ++length) {
            std::string damaged = text.substr(0, length);
            if (length % 7 == 3 && length < text.size()) damaged += "[\"\\\xC3";
            auto registry = RegistrySource::fromBytes(damaged, "damaged.reg", nullptr);
            (void)GetRegistryValue(registry, RegistryRoot::ClassesRoot, kLib, "");
        }
    }
    auto registry = RegistrySource::fromBytes(texts[2], "wine.reg", nullptr);
    EXPECT_EQ(GetRegistryValue(registry, RegistryRoot::ClassesRoot, "K\u00e4", ""), "a\\x");
}

TEST(Registry, LocationNamesTheUserFileThenTheWinePrefix) {
    TempFile user("REGEDIT4\n[HKEY_CLASSES_ROOT\\K]\n@=\"user\"\n");
    TempFile wine(
        "WINE REGISTRY Version 2\n[Software\\\\Classes\\\\K] 1\n@=\"wine\"\n"
        "\"W\"=\"wine only\"\n",
        "system.reg");
    EXPECT_EQ(RegistryLocation::fromVariables("", nullptr, "", "/home/u").winePrefix,
              "/home/u/.wine");
    CollectingSink sink;
    auto fromVariable = RegistrySource::fromLocation(
        RegistryLocation::fromVariables("", user.path().c_str(), wine.folder().c_str(), "/h"),
        &sink);
    EXPECT_EQ(GetRegistryValue(fromVariable, RegistryRoot::ClassesRoot, "K", ""), "user");
    EXPECT_EQ(GetRegistryValue(fromVariable, RegistryRoot::ClassesRoot, "K", "W"), "wine only");

    auto named = RegistrySource::fromLocation(
        RegistryLocation::fromVariables("/nonexistent/named.reg", user.path().c_str(),
                                        wine.folder().c_str(), nullptr),
        &sink);
    EXPECT_EQ(GetRegistryValue(named, RegistryRoot::ClassesRoot, "K", ""), "wine");
    ASSERT_EQ(sink.items().size(), 1u);
    EXPECT_EQ(sink.items()[0].file, "/nonexistent/named.reg");
}

}  // namespace
}  // namespace tarnwick
