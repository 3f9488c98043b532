// The registry lookup over regedit exports and Wine's system.reg.
#include <gtest/gtest.h>

#include <string>

#include "reader/modRegistry.h"
#include "tests/support/TempFolder.h"

namespace tarnwick {
namespace {

using modRegistry::kOpenFailed;
using modRegistry::kReadFailed;

std::string get(const RegistrySource& registry, const std::string& subKey,
                const std::string& value = "", RegistryRoot root = RegistryRoot::ClassesRoot) {
    return modRegistry::GetRegistryValue(registry, root, subKey, value);
}

RegistrySource parse(const std::string& bytes) {
    return RegistrySource::fromBytes(bytes, "test.reg", nullptr);
}

std::string utf16le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

const char* const kLib = "TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0";
const char* const kWin32 = "TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\0\\win32";

const std::string kRegedit5 =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0]\r\n"
    "@=\"OLE Automation\"\r\n\"Quoted\"=\"say \\\"hi\\\" \\\\ there\"\r\n"
    "\"Flags\"=dword:00000000\r\n\"Blob\"=hex:01,02,03,\\\r\n  04,05\r\n"
    "\"After\"=\"still read\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\0\\win32]\r\n"
    "@=\"C:\\\\Windows\\\\System32\\\\stdole2.tlb\"\r\n";

TEST(Registry, RegeditVersion5InUtf16WithByteOrderMark) {
    testing::TempFolder tmp;
    CollectingSink sink;
    auto registry = RegistrySource::fromFiles({tmp.write("export.reg", utf16le(kRegedit5))}, &sink);
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
        EXPECT_EQ(get(registry, c.subKey, c.valueName), c.expected)
            << c.subKey << " / " << c.valueName;
}

TEST(Registry, Regedit4AndWineSystemReg) {
    auto regedit4 = parse(
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\TypeLib\\{1}\\1.0]\n"
        "@=\"Bibliothek f\xFCr Zahlen\"\n\"Expand\"=hex(2):43,3a,5c,78,00\n");
    EXPECT_EQ(
        get(regedit4, "TypeLib\\{1}\\1.0") + "|" +
            get(regedit4, "SOFTWARE\\Classes\\TypeLib\\{1}\\1.0", "", RegistryRoot::LocalMachine) +
            "|" + get(regedit4, "TypeLib\\{1}\\1.0", "Expand"),
        "Bibliothek für Zahlen|Bibliothek für Zahlen|C:\\x");
    EXPECT_EQ(get(regedit4, "TypeLib\\{1}\\1.0", "", RegistryRoot::CurrentUser), kOpenFailed);

    auto wine = parse(
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
        "[Software\\\\Classes\\\\TypeLib\\\\{00020430-0000-0000-C000-000000000046}\\\\2.0] "
        "1576071311\n#time=1d5afd0c1d8e0b8\n@=\"OLE Automation\"\n\n"
        "[Software\\\\Classes\\\\TypeLib\\\\{00020430-0000-0000-C000-000000000046}\\\\2.0\\\\0\\\\"
        "win32] 1576071311\n@=\"C:\\\\windows\\\\system32\\\\stdole2.tlb\"\n"
        "\"Expanded\"=str(2):\"%SystemRoot%\\\\x\"\n\"Umlaut\"=\"M\\x00fcller\"\n"
        "\"Multi\"=hex(7):41,00,00,00,\\\n  00,00\n");
    EXPECT_EQ(get(wine, kLib) + "|" + get(wine, kWin32) + "|" + get(wine, kWin32, "Expanded") +
                  "|" + get(wine, kWin32, "Umlaut"),
              "OLE Automation|C:\\windows\\system32\\stdole2.tlb|%SystemRoot%\\x|Müller");
    EXPECT_EQ(get(wine, kWin32, "Multi"), kReadFailed);

    // Values longer than the 255-byte buffer fail to read.
    auto longValues =
        parse("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\K]\r\n\"Fits\"=\"" + std::string(254, 'a') +
              "\"\r\n\"TooLong\"=\"" + std::string(255, 'a') + "\"\r\n");
    EXPECT_EQ(get(longValues, "K", "Fits") + get(longValues, "K", "TooLong"),
              std::string(254, 'a') + kReadFailed);
    EXPECT_EQ(get(RegistrySource(), kLib), kOpenFailed);
}

TEST(Registry, FilesInOrderDeletionsAndUnreadableFiles) {
    testing::TempFolder tmp;
    const std::string first =
        tmp.write("first.reg",
                  "REGEDIT4\n[HKEY_CLASSES_ROOT\\K]\n\"A\"=\"first\"\n"
                  "[HKEY_CLASSES_ROOT\\Gone\\Sub]\n@=\"x\"\n[-HKEY_CLASSES_ROOT\\Gone]\n"
                  "[HKEY_CLASSES_ROOT\\K2]\n\"V\"=\"x\"\n\"V\"=-\n");
    const std::string second = tmp.write(
        "second.reg", "REGEDIT4\n[HKEY_CLASSES_ROOT\\K]\n\"A\"=\"second\"\n\"B\"=\"only here\"\n");
    auto registry = RegistrySource::fromFiles({first, second}, nullptr);
    EXPECT_EQ(get(registry, "K", "A") + "|" + get(registry, "K", "B") + "|" +
                  get(registry, "Gone\\Sub") + "|" + get(registry, "K2", "V"),
              std::string("first|only here|") + kOpenFailed + "|" + kReadFailed);

    const std::string foreign = tmp.write("foreign.reg", "just some text\n");
    CollectingSink sink;
    auto none = RegistrySource::fromFiles({"/nonexistent/tarnwick.reg", foreign}, &sink);
    ASSERT_EQ(sink.items().size(), 2u);
    EXPECT_EQ(sink.items()[0].file + "|" + sink.items()[1].file + std::to_string(none.keyCount()),
              "/nonexistent/tarnwick.reg|" + foreign + "0");
}

TEST(Registry, TruncatedAndDamagedFilesNeverBreakTheReader) {
    const std::string texts[] = {
        kRegedit5, utf16le(kRegedit5),
        "WINE REGISTRY Version 2\n[Software\\\\Classes\\\\K\\x00e4] 1\n@=str(2):\"a\\x\"\n"
        "\"v\"=hex(2):41,00,\\\n"};
    for (const auto& text : texts) {
        for (size_t length = 0; length <= text.size(); ++length) {
            std::string damaged = text.substr(0, length);
            if (length % 7 == 3 && length < text.size()) damaged += "[\"\\\xC3";
            (void)get(parse(damaged), kLib);
        }
    }
    EXPECT_EQ(get(parse(texts[2]), "K\u00e4"), "a\\x");
}

TEST(Registry, LocationNamesTheUserFileThenTheWinePrefix) {
    testing::TempFolder tmp;
    const std::string user =
        tmp.write("user.reg", "REGEDIT4\n[HKEY_CLASSES_ROOT\\K]\n@=\"user\"\n");
    tmp.write("wine/system.reg",
              "WINE REGISTRY Version 2\n[Software\\\\Classes\\\\K] 1\n@=\"wine\"\n"
              "\"W\"=\"wine only\"\n");
    const std::string prefix = tmp / "wine";
    EXPECT_EQ(RegistryLocation::fromVariables("", nullptr, "", "/home/u").winePrefix,
              "/home/u/.wine");
    CollectingSink sink;
    auto fromVariable = RegistrySource::fromLocation(
        RegistryLocation::fromVariables("", user.c_str(), prefix.c_str(), "/h"), &sink);
    EXPECT_EQ(get(fromVariable, "K") + "|" + get(fromVariable, "K", "W"), "user|wine only");
    auto named = RegistrySource::fromLocation(
        RegistryLocation::fromVariables("/nonexistent/named.reg", user.c_str(), prefix.c_str(),
                                        nullptr),
        &sink);
    EXPECT_EQ(get(named, "K"), "wine");
    ASSERT_EQ(sink.items().size(), 1u);
    EXPECT_EQ(sink.items()[0].file, "/nonexistent/named.reg");
}

}  // namespace
}  // namespace tarnwick
