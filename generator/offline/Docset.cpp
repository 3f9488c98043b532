// The docset half of OfflineHelp.h: Info.plist, the site's copy and the
// SQLite index Dash and Zeal search.
#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "generator/offline/OfflineHelp.h"
#include "support/AtomicFile.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

std::string infoPlist(const OfflineIndex& index) {
    const std::string id = docsetIdentifier(index);
    const std::string title = index.name + (index.version.empty() ? "" : " " + index.version);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n"
           "  <key>CFBundleIdentifier</key>\n  <string>" +
           xmlText(id) +
           "</string>\n"
           "  <key>CFBundleName</key>\n  <string>" +
           xmlText(title) +
           "</string>\n"
           "  <key>DocSetPlatformFamily</key>\n  <string>" +
           xmlText(id) +
           "</string>\n"
           "  <key>isDashDocset</key>\n  <true/>\n"
           "  <key>dashIndexFilePath</key>\n  <string>project-summary.html</string>\n"
           "  <key>isJavaScriptEnabled</key>\n  <true/>\n"
           "</dict>\n</plist>\n";
}

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// The index, one row per module and member; names go in as bound values,
// so a quote or a NUL in a name is data, never SQL.
Status writeIndex(const OfflineIndex& index, const std::string& path) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DatabaseCloser> db(raw);
    const auto failed = [&](const char* what) {
        return Error{path + ": " + what + ": " + (db ? sqlite3_errmsg(db.get()) : "out of memory")};
    };
    if (opened != SQLITE_OK) return failed("cannot create the docset index");
    const char* schema =
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
        "CREATE TABLE searchIndex(id INTEGER PRIMARY KEY, name TEXT, type TEXT, path TEXT);"
        "CREATE UNIQUE INDEX anchor ON searchIndex (name, type, path);"
        "BEGIN;";
    if (sqlite3_exec(db.get(), schema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return failed("cannot make the docset index");
    sqlite3_stmt* rawStatement = nullptr;
    if (sqlite3_prepare_v2(db.get(),
                           "INSERT OR IGNORE INTO searchIndex(name, type, path) VALUES (?, ?, ?)",
                           -1, &rawStatement, nullptr) != SQLITE_OK)
        return failed("cannot fill the docset index");
    std::unique_ptr<sqlite3_stmt, StatementCloser> insert(rawStatement);
    const auto row = [&](const std::string& name, const std::string& type,
                         const std::string& page) {
        sqlite3_reset(insert.get());
        sqlite3_bind_text(insert.get(), 1, name.data(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 2, type.data(), static_cast<int>(type.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 3, page.data(), static_cast<int>(page.size()),
                          SQLITE_TRANSIENT);
        return sqlite3_step(insert.get()) == SQLITE_DONE;
    };
    bool filled = row(index.name.empty() ? docsetIdentifier(index) : index.name, "Guide",
                      "project-summary.html");
    for (const OfflineEntry& entry : index.entries)
        filled = filled && row(entry.name, docsetType(entry), entry.path);
    if (!filled || sqlite3_exec(db.get(), "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return failed("cannot fill the docset index");
    insert.reset();
    if (sqlite3_close(db.release()) != SQLITE_OK)
        return Error{path + ": cannot close the docset index"};
    return ok();
}

// A copy of the site's files (siteFiles) below to.
Status copySite(const std::string& from, const fs::path& to) {
    std::error_code ec;
    for (const std::string& file : siteFiles(from)) {
        const fs::path target = to / file;
        fs::create_directories(target.parent_path(), ec);
        if (!ec) fs::copy_file(from + file, target, fs::copy_options::overwrite_existing, ec);
        if (ec) return Error{target.string() + ": cannot copy the page: " + ec.message()};
    }
    return ok();
}

Status buildDocset(const OfflineIndex& index, const std::string& folder, const fs::path& bundle,
                   const std::string& iconFile) {
    std::error_code ec;
    const fs::path resources = bundle / "Contents" / "Resources";
    fs::create_directories(resources / "Documents", ec);
    if (ec) return Error{resources.string() + ": cannot create the folder: " + ec.message()};
    if (Status plist =
            writeAtomically((bundle / "Contents" / "Info.plist").string(), infoPlist(index));
        !plist)
        return plist;
    if (Status copied = copySite(folder, resources / "Documents"); !copied) return copied;
    if (!iconFile.empty() && fs::exists(iconFile, ec)) {
        fs::copy_file(iconFile, bundle / "icon.png", ec);
        if (ec) return Error{(bundle / "icon.png").string() + ": " + ec.message()};
    }
    return writeIndex(index, (resources / "docSet.dsidx").string());
}

}  // namespace

Status writeDocset(const OfflineIndex& index, const std::string& folder,
                   const std::string& iconFile) {
    const fs::path bundle = fs::path(folder) / docsetName(index);
    const fs::path building = fs::path(folder) / (docsetName(index) + ".tarnwick-part");
    const fs::path previous = fs::path(folder) / (docsetName(index) + ".old.tarnwick-part");
    std::error_code ec;
    fs::remove_all(building, ec);
    if (Status built = buildDocset(index, folder, building, iconFile); !built) {
        fs::remove_all(building, ec);
        return built;
    }
    // The last docset is moved aside, not removed, until the new one is in place.
    fs::remove_all(previous, ec);
    if (fs::exists(bundle, ec)) fs::rename(bundle, previous, ec);
    if (!ec) fs::rename(building, bundle, ec);
    if (ec) {
        const std::string message =
            bundle.string() + ": cannot put the docset in place: " + ec.message();
        fs::remove_all(building, ec);
        return Error{message};
    }
    fs::remove_all(previous, ec);
    return ok();
}

}  // namespace tarnwick
