// The registry lookup that completes library entries of a project (a
// type library's description and file), without the Windows registry.
//
// RegistrySource holds the registry files consulted, parsed once: exports of
// regedit (".reg", "REGEDIT4" or "Windows Registry Editor Version 5.00",
// UTF-16LE with a byte-order mark or 8-bit windows-1252) and Wine's
// system.reg ("WINE REGISTRY Version 2", keys relative to
// HKEY_LOCAL_MACHINE). Keys under HKEY_CLASSES_ROOT and under
// HKEY_LOCAL_MACHINE\Software\Classes (and HKEY_CURRENT_USER\Software\Classes)
// all answer ClassesRoot queries, as the merged view does on Windows. Key and
// value names match ignoring letter case. Only string values are kept (hex
// and dword values are skipped). Files are consulted in the order given: the
// first that holds the value answers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/Diagnostics.h"

namespace tarnwick {

enum class RegistryRoot { ClassesRoot, LocalMachine, CurrentUser };

// Where the registry files are. The front ends fill it from their options
// and the environment; the reader itself looks at neither.
struct RegistryLocation {
    std::string file;        // a registry export read first; empty: none
    std::string winePrefix;  // its system.reg is read next, when there; empty: none

    // The location of file (the one the user named; empty: none) and the
    // values of the variables TARNWICK_REGISTRY, WINEPREFIX and HOME (null
    // when unset): file, else TARNWICK_REGISTRY; WINEPREFIX when not empty,
    // else HOME/.wine.
    static RegistryLocation fromVariables(std::string file, const char* tarnwickRegistry,
                                          const char* winePrefix, const char* home);
};

class RegistrySource {
public:
    RegistrySource() = default;  // consults nothing: every key is missing

    // The file of the location (when named; one that cannot be read gives a
    // diagnostic naming it), then the Wine prefix's system.reg when it
    // exists.
    static RegistrySource fromLocation(const RegistryLocation& location,
                                       DiagnosticsSink* diagnostics);
    // Exactly these files, in this order; each unreadable one gives a
    // diagnostic naming it.
    static RegistrySource fromFiles(const std::vector<std::string>& files,
                                    DiagnosticsSink* diagnostics);

    // One registry file's bytes already in memory; name is used in the
    // diagnostic when they are not a registry file.
    static RegistrySource fromBytes(std::string_view bytes, const std::string& name,
                                    DiagnosticsSink* diagnostics);

    bool hasKey(RegistryRoot root, std::string_view subKey) const;
    // valueName "" is the key's default value (@). nullopt when the key or the
    // value is missing.
    std::optional<std::string> value(RegistryRoot root, std::string_view subKey,
                                     std::string_view valueName) const;

    // Number of keys read, over all files (for messages and tests).
    size_t keyCount() const;
    // The files it was made from (read or tried), in order.
    const std::vector<std::string>& files() const { return m_files; }

    struct Store;  // one parsed file; shared between copies, never changed

private:
    std::vector<std::shared_ptr<const Store>> m_stores;
    std::vector<std::string> m_files;
};

namespace modRegistry {

inline constexpr const char* kOpenFailed = "Der Registryeintrag konnte nicht geöffnet werden.";
inline constexpr const char* kReadFailed =
    "Der Registryeintrag konnte nicht gelesen oder gefunden werden.";

// The value's text; kOpenFailed when the key is missing; kReadFailed when the
// value is missing or longer than 254 characters (it would not fit the
// 255-character buffer of the Windows program).
std::string GetRegistryValue(const RegistrySource& registry, RegistryRoot root,
                             std::string_view subKey, std::string_view valueName);

}  // namespace modRegistry

}  // namespace tarnwick
