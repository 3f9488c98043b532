// InputFiles: the files a run reads, known by their identity on the file
// system (device and inode), so that nothing the run writes ever lands on
// one of them, whatever spelling, letter case, hard link or symbolic link
// leads there.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace tarnwick {

class InputFiles {
public:
    // Remembers the file at path under that name; a path that names nothing
    // is passed over (a file that does not exist cannot be overwritten).
    void add(const std::string& path);
    // The input (as it was added) that writing to path would overwrite, or
    // nullptr when path names no input or nothing at all.
    const std::string* overwrittenBy(const std::string& path) const;
    size_t size() const { return m_files.size(); }

private:
    std::map<std::pair<uint64_t, uint64_t>, std::string> m_files;  // (device, inode) -> path
};

}  // namespace tarnwick
