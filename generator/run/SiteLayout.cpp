#include "generator/run/SiteLayout.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "model/CHelper.h"
#include "support/AtomicFile.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick::SiteLayout {

namespace {

// The stamp's content; no date, so two runs leave the same bytes.
constexpr const char* kStampText =
    "Tarnwick documentation site.\r\n"
    "This file lets tarnwick write into this folder again without --force.\r\n";

bool occupied(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

}  // namespace

const std::vector<std::string>& kindWords() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> names;
        for (const ModuleKind kind : kDocumentedModuleKinds)
            names.emplace_back(kindTraits(kind).listName);
        return names;
    }();
    return words;
}

bool hasStamp(const std::string& folder) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(folder) / kStampFile, ec);
}

Status writeStamp(const std::string& folder, FileSystem& disk) {
    const fs::path stamp = fs::path(folder) / kStampFile;
    std::error_code ec;
    // A link in the stamp's place could lead the write out of the site.
    if (fs::is_symlink(stamp, ec)) {
        return Error{stamp.string() + ": is a symbolic link; the stamp file is not written"};
    }
    // One that is there already is left alone: a re-run rewrites nothing
    // that has not changed.
    if (fs::is_regular_file(stamp, ec) && fs::file_size(stamp, ec) == std::strlen(kStampText)) {
        std::ifstream in(stamp, std::ios::binary);
        std::string text(std::strlen(kStampText), '\0');
        if (in.read(text.data(), static_cast<std::streamsize>(text.size())) && text == kStampText)
            return ok();
    }
    if (Status written =
            writeAtomically(stamp.string(), kStampText, Replace::Allowed, nullptr, nullptr, disk);
        !written)
        return Error{stamp.string() + ": cannot write the stamp file: " + written.error().message};
    return ok();
}

int linkCaseSpellings(const std::string& folder, DiagnosticsSink* diagnostics) {
    const fs::path root(folder);
    int made = 0;
    auto link = [&](const std::string& target, const std::string& name, bool isFolder) {
        if (target == name) return;
        std::error_code ec;
        const auto status = fs::symlink_status(root / target, ec);
        const bool targetOk = isFolder ? status.type() == fs::file_type::directory
                                       : status.type() == fs::file_type::regular;
        if (!targetOk || occupied(root / name)) return;
        if (isFolder) {
            fs::create_directory_symlink(target, root / name, ec);
        } else {
            fs::create_symlink(target, root / name, ec);
        }
        if (ec) {
            if (diagnostics) {
                diagnostics->warning((root / name).string(), 0,
                                     "cannot link to " + target + ": " + ec.message());
            }
            return;
        }
        ++made;
    };
    for (const auto& kinds : kindWords()) {
        link("all-" + kinds + ".html", "all-" + toLower(kinds) + ".html", false);
        link(kinds, toLower(kinds), true);
    }
    return made;
}

}  // namespace tarnwick::SiteLayout
