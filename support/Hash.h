// Hash: a fast 64-bit hash of bytes, for noticing that something changed.
//
// The same value in every run and on every machine of one byte order, so a
// value written into a site's manifest by one run is compared by the next.
// Not a defence against someone who makes collisions on purpose: it tells
// whether a page or an input file changed, nothing more.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// A hash of bytes; seed chains several texts into one value.
uint64_t hashBytes(std::string_view bytes, uint64_t seed = 0);

// value as 16 lower-case hex digits: 255 -> "00000000000000ff".
std::string hex16(uint64_t value);

}  // namespace tarnwick
