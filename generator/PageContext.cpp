#include "generator/PageContext.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "support/File.h"
#include "support/InputFiles.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

// The components of a page's path inside the site, or a reason to refuse it.
std::vector<std::string_view> splitRelative(std::string_view path, std::string& reason) {
    std::vector<std::string_view> parts;
    if (path.empty()) {
        reason = "empty page name";
        return {};
    }
    size_t start = 0;
    while (true) {
        const size_t slash = path.find('/', start);
        const std::string_view part = path.substr(
            start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (part.empty()) {
            reason = start == 0 ? "absolute or empty path component" : "empty path component";
            return {};
        }
        if (part == "." || part == "..") {
            reason = "path component \"" + std::string(part) + "\" leaves the folder layout";
            return {};
        }
        if (part.find('\\') != std::string_view::npos ||
            part.find('\0') != std::string_view::npos) {
            reason = "path component holds a separator or NUL";
            return {};
        }
        parts.push_back(part);
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

// True when the link p leads to a place inside root (root itself counts).
bool linkStaysInside(const fs::path& link, const fs::path& root) {
    std::error_code ec;
    const fs::path canonicalRoot = fs::canonical(root, ec);
    if (ec) return false;
    // Follow the chain by hand: weakly_canonical leaves a dangling link at
    // the end of a path unresolved, and a dangling link is where a write
    // would create its target.
    fs::path p = link;
    for (int hops = 0; fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        if (hops == 40) return false;  // a loop
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) return false;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    const fs::path target = fs::weakly_canonical(p, ec);
    if (ec) return false;
    const fs::path rel = target.lexically_relative(canonicalRoot);
    if (rel.empty()) return false;
    const std::string first = rel.begin()->string();
    return first != "..";
}

}  // namespace

std::string htmlCharsetName(std::string_view codePageName) {
    std::string key;
    for (char c : codePageName)
        if (c != '-' && c != '_' && c != ' ')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key.starts_with("windows") && key.size() == 11) return "windows-" + key.substr(7);
    if (key.starts_with("cp125") && key.size() == 6) return "windows-" + key.substr(2);
    if (key == "utf8") return "UTF-8";
    if (key == "gbk" || key == "cp936") return "GBK";
    if (key == "iso88591" || key == "latin1") return "ISO-8859-1";
    return std::string(codePageName);
}

std::string PageContext::charsetMeta() const {
    return "<META http-equiv=\"Content-Type\" content=\"text/html; charset=" +
           htmlCharsetName(codePage.name()) + "\">";
}

void PageContext::writePage(std::string_view relativePath, std::string_view text) const {
    std::string folder = outputFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    const std::string file = folder + std::string(relativePath);

    std::string reason;
    const auto parts = splitRelative(relativePath, reason);
    if (parts.empty()) throw PageWriteError(file, "refused page name: " + reason);
    if (folder.empty()) throw PageWriteError(file, "no output folder");

    const fs::path root(folder);
    fs::path current = root;
    bool pageExists = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        current /= fs::path(std::string(parts[i]));
        const bool last = i + 1 == parts.size();
        std::error_code ec;
        const auto status = fs::symlink_status(current, ec);
        if (ec && status.type() != fs::file_type::not_found) {
            throw PageWriteError(file, current.string() + ": " + ec.message());
        }
        fs::file_type type = status.type();
        if (type == fs::file_type::symlink) {
            // Links inside the site (the case-spelling links) are fine; one
            // that leads elsewhere would make us write outside the site.
            if (!linkStaysInside(current, root)) {
                throw PageWriteError(
                    file, current.string() + ": symbolic link leads out of the output folder");
            }
            type = fs::status(current, ec).type();
            if (ec && type != fs::file_type::not_found) {
                throw PageWriteError(file, current.string() + ": " + ec.message());
            }
        }
        if (last) {
            if (type == fs::file_type::directory) {
                throw PageWriteError(file, "a folder of that name is in the way");
            }
            if (type != fs::file_type::not_found && type != fs::file_type::regular) {
                throw PageWriteError(file, "not a regular file");
            }
            pageExists = type == fs::file_type::regular;
            break;
        }
        if (type == fs::file_type::not_found) {
            if (!fs::create_directory(current, ec) && ec) {
                throw PageWriteError(
                    file, "cannot create folder " + current.string() + ": " + ec.message());
            }
        } else if (type != fs::file_type::directory) {
            throw PageWriteError(file, current.string() + " is in the way: not a folder");
        }
    }

    if (inputs) {
        for (const std::string& target : {file, file + ".tarnwick-part"}) {
            if (const std::string* input = inputs->overwrittenBy(target))
                throw PageWriteError(file,
                                     "it would overwrite " + *input + ", a file the project reads");
        }
    }

    // A write that fails half-way (disk full) must not leave a cut-off page.
    // A new page is written in place and removed again when its write fails
    // (it is this run's own file); the page of an earlier run is replaced by
    // writing beside it and renaming over it, so it stays as it was on failure.
    const CodePage::Fallback fallback = CodePage::Fallback::HtmlReference;
    std::error_code ec;
    if (!pageExists) {
        const Status written = File(file).WriteStream(text, codePage, fallback);
        if (!written) {
            if (fs::is_regular_file(fs::symlink_status(file, ec))) fs::remove(file, ec);
            throw PageWriteError(file, written.error().message);
        }
        return;
    }
    const std::string temporary = file + ".tarnwick-part";
    if (fs::is_symlink(fs::symlink_status(temporary, ec))) {
        throw PageWriteError(file, temporary + " is a symbolic link; not written through");
    }
    const Status written = File(temporary).WriteStream(text, codePage, fallback);
    if (!written) {
        fs::remove(temporary, ec);
        throw PageWriteError(file, written.error().message);
    }
    fs::rename(temporary, file, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        throw PageWriteError(file, "cannot put the page in place: " + reason);
    }
}

}  // namespace tarnwick
