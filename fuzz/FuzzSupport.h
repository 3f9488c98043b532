// Shared pieces of the fuzz targets: a scratch folder per process that is
// emptied between inputs, so one input's files never influence the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnwick::fuzz {

// The process's scratch folder (created on first use, removed at a normal
// exit), ending in '/'.
const std::string& scratchFolder();
// Removes everything inside the scratch folder (never the folder itself,
// never anything outside it).
void clearScratch();
// Writes bytes to scratchFolder() + name, making its folders.
void writeScratchFile(const std::string& name, const uint8_t* data, size_t size);

}  // namespace tarnwick::fuzz
