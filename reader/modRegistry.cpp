#include "reader/modRegistry.h"

#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "support/CodePage.h"
#include "support/File.h"
#include "support/Text.h"

namespace tarnwick {

// One registry file: full key paths (upper case, one backslash between
// components, the root written as HKLM or HKCU) to their string values (value
// names upper case, "" for the default value). Every parent of a stored key
// is stored too, as a key exists whenever a key below it does.
struct RegistrySource::Store {
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> keys;
};

namespace {

enum class Format { Regedit4, Regedit5, Wine };

constexpr std::string_view kRegedit4 = "REGEDIT4";
constexpr std::string_view kRegedit5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kWine = "WINE REGISTRY Version 2";

std::string utf16leToUtf8(std::string_view bytes) { return utf16ToUtf8(bytes, false); }

// Registry files come as UTF-16LE with a byte-order mark (regedit version
// 5), UTF-8 (Wine, or with a byte-order mark) or 8-bit windows-1252 (REGEDIT4).
std::string decodeRegistryText(std::string_view bytes) {
    if (auto text = decodeUtf16WithBom(bytes)) return std::move(*text);
    if (startsWith(bytes, "\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    if (isValidUtf8(bytes)) return std::string(bytes);
    return CodePage().toUtf8(bytes);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the
// closing quote. Regedit escapes only \\ and \"; Wine also writes \n, \r,
// \t, \0 and \xHHHH. Returns false when the closing quote is missing.
bool readQuoted(std::string_view text, size_t& pos, Format format, std::string& out) {
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"') return true;
        if (c != '\\' || pos >= text.size()) {
            out += c;
            continue;
        }
        char e = text[pos++];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (format == Format::Wine && (e == 'n' || e == 'r' || e == 't' || e == '0')) {
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : '\0';
        } else if (format == Format::Wine && e == 'x') {
            char32_t code = 0;
            int digits = 0;
            while (digits < 4 && pos < text.size() && hexDigit(text[pos]) >= 0) {
                code = code * 16 + static_cast<char32_t>(hexDigit(text[pos++]));
                ++digits;
            }
            if (digits == 0)
                out += "\\x";
            else
                appendUtf8(out, code);
        } else {
            out += '\\';
            out += e;
        }
    }
    return false;
}

// The bytes of "hex:..." / "hex(N):..." data (continuation already joined).
std::string readHexBytes(std::string_view data) {
    std::string bytes;
    int high = -1;
    for (char c : data) {
        int d = hexDigit(c);
        if (d < 0) {
            high = -1;
            continue;
        }
        if (high < 0) {
            high = d;
        } else {
            bytes += static_cast<char>(high * 16 + d);
            high = -1;
        }
    }
    return bytes;
}

std::string cutAtNul(std::string text) {
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

std::string rootedPath(std::string_view root, std::string_view rest) {
    std::string path(root);
    if (!rest.empty()) {
        path += '\\';
        path += rest;
    }
    return toUpper(path);
}

// A regedit key path ("HKEY_CLASSES_ROOT\TypeLib\...") in the store's form,
// or "" for a root this lookup does not keep.
std::string canonicalKey(std::string_view fullPath) {
    size_t slash = fullPath.find('\\');
    std::string_view root = fullPath.substr(0, slash);
    std::string_view rest =
        slash == std::string_view::npos ? std::string_view() : fullPath.substr(slash + 1);
    if (equalsIgnoreCase(root, "HKEY_CLASSES_ROOT") || equalsIgnoreCase(root, "HKCR"))
        return rootedPath("HKLM\\Software\\Classes", rest);
    if (equalsIgnoreCase(root, "HKEY_LOCAL_MACHINE") || equalsIgnoreCase(root, "HKLM"))
        return rootedPath("HKLM", rest);
    if (equalsIgnoreCase(root, "HKEY_CURRENT_USER") || equalsIgnoreCase(root, "HKCU"))
        return rootedPath("HKCU", rest);
    return {};
}

// The store paths that answer a query, most specific first: HKCR is the
// user's classes over the machine's.
std::vector<std::string> queryPaths(RegistryRoot root, std::string_view subKey) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return {rootedPath("HKCU\\Software\\Classes", subKey),
                    rootedPath("HKLM\\Software\\Classes", subKey)};
        case RegistryRoot::LocalMachine:
            return {rootedPath("HKLM", subKey)};
        case RegistryRoot::CurrentUser:
            return {rootedPath("HKCU", subKey)};
    }
    return {};
}

class Parser {
public:
    Parser(RegistrySource::Store& store, Format format) : m_store(store), m_format(format) {}

    void line(std::string_view text) {
        if (text.empty() || text.front() == ';' || text.front() == '#') {
            if (m_format == Format::Wine && startsWith(text, ";; All keys relative to "))
                m_wineRoot = text.find("\\\\User") != std::string_view::npos ? "HKCU" : "HKLM";
            return;
        }
        if (text.front() == '[') {
            header(text);
        } else if (text.front() == '@' || text.front() == '"') {
            value(text);
        }
    }

private:
    void header(std::string_view text) {
        m_current = nullptr;
        bool remove = text.size() > 1 && text[1] == '-';
        std::string path;
        if (m_format == Format::Wine) {
            // [Software\\Classes\\TypeLib\\{...}\\1.0] 1234567890: escaped, relative to the root.
            std::string name;
            size_t pos = 1;
            while (pos < text.size() && text[pos] != ']') {
                char c = text[pos++];
                if (c == '\\' && pos < text.size()) {
                    char e = text[pos++];
                    if (e == 'x') {
                        char32_t code = 0;
                        int digits = 0;
                        while (digits < 4 && pos < text.size() && hexDigit(text[pos]) >= 0) {
                            code = code * 16 + static_cast<char32_t>(hexDigit(text[pos++]));
                            ++digits;
                        }
                        appendUtf8(name, digits ? code : U'x');
                    } else {
                        name += e;
                    }
                } else {
                    name += c;
                }
            }
            path = rootedPath(m_wineRoot, name);
        } else {
            size_t close = text.rfind(']');
            if (close == std::string_view::npos) return;
            path = canonicalKey(trimBlanks(text.substr(remove ? 2 : 1, close - (remove ? 2 : 1))));
        }
        if (path.empty()) return;
        if (remove) {
            std::string below = path + '\\';
            for (auto it = m_store.keys.begin(); it != m_store.keys.end();) {
                if (it->first == path || startsWith(it->first, below))
                    it = m_store.keys.erase(it);
                else
                    ++it;
            }
            return;
        }
        // Parents exist whenever a key below them does.
        for (size_t slash = path.find('\\'); slash != std::string::npos;
             slash = path.find('\\', slash + 1))
            m_store.keys.try_emplace(path.substr(0, slash));
        m_current = &m_store.keys[path];
    }

    void value(std::string_view text) {
        if (!m_current) return;
        std::string name;
        size_t pos = 0;
        if (text.front() == '@') {
            pos = 1;
        } else if (!readQuoted(text, pos, m_format, name)) {
            return;
        }
        std::string_view rest = trimBlanks(text.substr(pos));
        if (rest.empty() || rest.front() != '=') return;
        rest = trimBlanks(rest.substr(1));
        std::string key = toUpper(name);
        if (rest == "-") {
            m_current->erase(key);
            return;
        }
        std::string data;
        if (startsWith(rest, "str(")) {
            size_t colon = rest.find("):");
            if (colon == std::string_view::npos) return;
            rest = rest.substr(colon + 2);
        }
        if (!rest.empty() && rest.front() == '"') {
            size_t at = 0;
            if (!readQuoted(rest, at, m_format, data)) return;
        } else if (startsWith(rest, "hex(1):") || startsWith(rest, "hex(2):")) {
            // String data written as bytes (REG_SZ, REG_EXPAND_SZ): UTF-16LE
            // except in REGEDIT4 files, which hold 8-bit text.
            std::string bytes = readHexBytes(rest.substr(7));
            data = m_format == Format::Regedit4 ? CodePage().toUtf8(cutAtNul(bytes))
                                                : utf16leToUtf8(bytes);
        } else {
            return;  // hex, dword and other non-string data: not a string value
        }
        (*m_current)[key] = cutAtNul(std::move(data));
    }

    RegistrySource::Store& m_store;
    Format m_format;
    std::string m_wineRoot = "HKLM";
    std::unordered_map<std::string, std::string>* m_current = nullptr;
};

// Parses one registry file's text; false when it is none of the known formats.
bool parseRegistryText(std::string_view text, RegistrySource::Store& store) {
    std::vector<std::string> lines;
    size_t pos = 0;
    std::string pending;
    bool continuing = false;
    while (pos <= text.size()) {
        const std::string_view line = trimBlanks(nextLine(text, pos, LineEnd::Lf));
        if (continuing) {
            pending += line;
        } else {
            pending.assign(line);
        }
        // Long hex data goes on over lines ending in a backslash.
        continuing = !pending.empty() && pending.back() == '\\' &&
                     (pending.front() == '@' || pending.front() == '"');
        if (continuing) {
            pending.pop_back();
            continue;
        }
        lines.push_back(std::move(pending));
        pending.clear();
    }
    if (continuing) lines.push_back(pending);

    size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    if (first == lines.size()) return false;
    Format format;
    if (lines[first] == kRegedit4)
        format = Format::Regedit4;
    else if (lines[first] == kRegedit5)
        format = Format::Regedit5;
    else if (lines[first] == kWine)
        format = Format::Wine;
    else
        return false;
    Parser parser(store, format);
    for (size_t i = first + 1; i < lines.size(); ++i) parser.line(lines[i]);
    return true;
}

// Counts characters, not bytes: the Windows program's buffer held 255
// characters of the 8-bit code page.
size_t characterCount(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++count) {
        size_t length = 1;
        decodeUtf8(text, pos, length);
        pos += length;
    }
    return count;
}

std::shared_ptr<const RegistrySource::Store> parseRegistryBytes(std::string_view bytes,
                                                                const std::string& name,
                                                                DiagnosticsSink* diagnostics) {
    auto store = std::make_shared<RegistrySource::Store>();
    if (!parseRegistryText(decodeRegistryText(bytes), *store)) {
        if (diagnostics)
            diagnostics->warning(name, 1,
                                 "not a registry file (expected \"REGEDIT4\", \"Windows Registry "
                                 "Editor Version 5.00\" or \"WINE REGISTRY Version 2\")");
        return nullptr;
    }
    return store;
}

std::shared_ptr<const RegistrySource::Store> readRegistryFile(const std::string& path,
                                                              DiagnosticsSink* diagnostics) {
    auto bytes = File(path).ReadBytes();
    if (!bytes) {
        if (diagnostics)
            diagnostics->warning(path, 0,
                                 "the registry file cannot be read: " + bytes.error().message);
        return nullptr;
    }
    return parseRegistryBytes(bytes.value(), path, diagnostics);
}

}  // namespace

RegistrySource RegistrySource::fromFiles(const std::vector<std::string>& files,
                                         DiagnosticsSink* diagnostics) {
    RegistrySource source;
    source.m_files = files;
    for (const auto& file : files)
        if (auto store = readRegistryFile(file, diagnostics))
            source.m_stores.push_back(std::move(store));
    return source;
}

RegistrySource RegistrySource::fromBytes(std::string_view bytes, const std::string& name,
                                         DiagnosticsSink* diagnostics) {
    RegistrySource source;
    if (auto store = parseRegistryBytes(bytes, name, diagnostics))
        source.m_stores.push_back(std::move(store));
    return source;
}

RegistryLocation RegistryLocation::fromVariables(std::string file, const char* tarnwickRegistry,
                                                 const char* winePrefix, const char* home) {
    RegistryLocation location;
    location.file = std::move(file);
    if (location.file.empty() && tarnwickRegistry) location.file = tarnwickRegistry;
    if (winePrefix && *winePrefix)
        location.winePrefix = winePrefix;
    else if (home && *home)
        location.winePrefix = std::string(home) + "/.wine";
    return location;
}

RegistrySource RegistrySource::fromLocation(const RegistryLocation& location,
                                            DiagnosticsSink* diagnostics) {
    std::vector<std::string> files;
    if (!location.file.empty()) files.push_back(location.file);
    RegistrySource source = fromFiles(files, diagnostics);

    const std::string& prefix = location.winePrefix;
    if (!prefix.empty()) {
        std::string systemReg = prefix + "/system.reg";
        // Without Wine there is simply nothing to consult; whatever else
        // stands there is read, so that a FIFO or device is reported.
        if (File(systemReg).IsPresent()) {
            source.m_files.push_back(systemReg);
            if (auto store = readRegistryFile(systemReg, diagnostics))
                source.m_stores.push_back(std::move(store));
        }
    }
    return source;
}

bool RegistrySource::hasKey(RegistryRoot root, std::string_view subKey) const {
    auto paths = queryPaths(root, subKey);
    for (const auto& store : m_stores)
        for (const auto& path : paths)
            if (store->keys.count(path)) return true;
    return false;
}

std::optional<std::string> RegistrySource::value(RegistryRoot root, std::string_view subKey,
                                                 std::string_view valueName) const {
    auto paths = queryPaths(root, subKey);
    std::string name = toUpper(valueName);
    for (const auto& store : m_stores) {
        for (const auto& path : paths) {
            auto key = store->keys.find(path);
            if (key == store->keys.end()) continue;
            auto found = key->second.find(name);
            if (found != key->second.end()) return found->second;
        }
    }
    return std::nullopt;
}

size_t RegistrySource::keyCount() const {
    size_t count = 0;
    for (const auto& store : m_stores) count += store->keys.size();
    return count;
}

namespace modRegistry {

std::string GetRegistryValue(const RegistrySource& registry, RegistryRoot root,
                             std::string_view subKey, std::string_view valueName) {
    if (!registry.hasKey(root, subKey)) return kOpenFailed;
    auto value = registry.value(root, subKey, valueName);
    // The Windows program read into a 255-character buffer, NUL included.
    if (!value || characterCount(*value) > 254) return kReadFailed;
    return *value;
}

}  // namespace modRegistry

}  // namespace tarnwick
