// TempFolder: a fresh folder for one test, removed with everything inside at
// the end; every test program's tests share this one helper.
//
//   TempFolder tmp;
//   const std::string file = tmp.write("project/m.bas", "Attribute VB_Name = \"m\"\r\n");
//   run(tmp.path() / "out");
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace tarnwick::testing {

class TempFolder {
public:
    // Below the system's temporary folder ($TMPDIR, else /tmp).
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        // Read-only folders and files made by a test must not stop the clean-up.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing '/'.
    const std::filesystem::path& path() const { return m_path; }
    std::string operator/(const std::string& relative) const {
        return m_path.string() + "/" + relative;
    }

    // Writes a file (creating its folders) and returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const {
        const std::string full = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }
    // Makes a folder (and its parents) and returns its path.
    std::string mkdir(const std::string& relative) const {
        const std::string full = *this / relative;
        std::filesystem::create_directories(full);
        return full;
    }

private:
    std::filesystem::path m_path;
};

// The bytes of a file; empty when it cannot be read.
inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tarnwick::testing
