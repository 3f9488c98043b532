#include "support/Hash.h"

#include <cstring>

namespace tarnwick {

uint64_t hashBytes(std::string_view bytes, uint64_t seed) {
    // Eight bytes a step, each multiplied, rotated and folded in, then the
    // bits spread by a final mix: a site's pages are hundreds of megabytes,
    // hashed on every run. Four lanes take turns with the words of long
    // texts, so the processor works on four steps at once.
    auto rotl = [](uint64_t x, int r) { return (x << r) | (x >> (64 - r)); };
    auto step = [&](uint64_t h, uint64_t w) {
        w *= 0x87C37B91114253D5ull;
        w = rotl(w, 31);
        w *= 0x4CF5AD432745937Full;
        h ^= w;
        return rotl(h, 27) * 5 + 0x52DCE729;
    };
    auto load = [](const char* at) {
        uint64_t w;
        std::memcpy(&w, at, 8);
        return w;
    };
    uint64_t h = seed ^ (bytes.size() * 0x9E3779B97F4A7C15ull);
    const char* p = bytes.data();
    size_t n = bytes.size();
    if (n >= 32) {
        uint64_t lane[4] = {h, h ^ 0x9E3779B97F4A7C15ull, h ^ 0xC2B2AE3D27D4EB4Full,
                            h ^ 0x165667B19E3779F9ull};
        for (; n >= 32; p += 32, n -= 32)
            for (int k = 0; k < 4; ++k) lane[k] = step(lane[k], load(p + 8 * k));
        h = lane[0];
        for (int k = 1; k < 4; ++k) h = step(h, lane[k]);
    }
    for (; n >= 8; p += 8, n -= 8) h = step(h, load(p));
    if (n > 0) {
        uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = step(h, w);
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

std::string hex16(uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = digits[value & 15];
    return out;
}

}  // namespace tarnwick
