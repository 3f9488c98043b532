#include "support/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "support/Escape.h"
#include "support/Text.h"

namespace tarnwick {

namespace detail {

// Decoding and encoding tables of a code page with one byte per character.
struct ByteTable {
    static constexpr char32_t kUndefined = 0xFFFFFFFF;
    std::array<char32_t, 256> code{};             // kUndefined for a byte that does not decode
    std::array<std::array<char, 4>, 256> utf8{};  // UTF-8 form of each byte
    std::array<unsigned char, 256> utf8Length{};  // 3 (for U+FFFD) when undefined
    std::unordered_map<char32_t, unsigned char> byteOf;  // characters 0x80 and up, and
                                                         // every one when not ASCII-based
    bool asciiBased = true;                              // bytes 0 to 0x7F are the ASCII characters

    void set(int byte, char32_t c) {
        const auto b = static_cast<size_t>(byte);
        code[b] = c;
        std::string text;
        appendUtf8(text, c == kUndefined ? 0xFFFD : c);
        utf8Length[b] = static_cast<unsigned char>(text.size());
        std::memcpy(utf8[b].data(), text.data(), text.size());
        if (c != kUndefined) byteOf.emplace(c, static_cast<unsigned char>(byte));
    }
    void finish() {
        for (int b = 0; b < 0x80; ++b)
            if (code[static_cast<size_t>(b)] != static_cast<char32_t>(b)) asciiBased = false;
    }
};

}  // namespace detail

namespace {

using detail::ByteTable;

// One iconv descriptor, open while it lives. A conversion opens its own, so
// no state is shared between calls and threads.
class IconvDescriptor {
public:
    IconvDescriptor(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvDescriptor() {
        if (*this) iconv_close(m_cd);
    }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    // False when iconv cannot convert between the two.
    explicit operator bool() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// windows-1252 is built in: it is the default, and needs no iconv module.
std::shared_ptr<const ByteTable> windows1252() {
    static const std::shared_ptr<const ByteTable> table = [] {
        static constexpr char32_t k80[32] = {
            0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
        auto t = std::make_shared<ByteTable>();
        for (int b = 0; b < 256; ++b) {
            char32_t c = static_cast<char32_t>(b);
            if (b >= 0x80 && b < 0xA0) c = k80[b - 0x80] ? k80[b - 0x80] : ByteTable::kUndefined;
            t->set(b, c);
        }
        t->finish();
        return t;
    }();
    return table;
}

// "windows-1252" and "CP1252" alike: upper case, without '-' and '_'.
std::string canonicalName(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == '-' || c == '_') continue;
        out.push_back((c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c);
    }
    return out;
}

struct Probe {
    bool known = false;
    std::shared_ptr<const ByteTable> table;  // null for a multi-byte code page
};

// Asks iconv for every byte alone: a code page where each byte either decodes
// to exactly one character or is invalid gets a table; one where some byte
// starts a longer sequence (or shifts a state) is multi-byte.
Probe probe(const std::string& name) {
    Probe result;
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return result;
    result.known = true;
    auto table = std::make_shared<ByteTable>();
    bool singleByte = true;
    for (int b = 0; b < 256 && singleByte; ++b) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(b);
        char out[16];
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == EILSEQ) {
                table->set(b, ByteTable::kUndefined);
                continue;
            }
            singleByte = false;
            break;
        }
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        const std::string_view produced(out, static_cast<size_t>(outPtr - out));
        size_t length = 0;
        const char32_t c = decodeUtf8(produced, 0, length);
        if (produced.empty() || length != produced.size() || (c == 0xFFFD && length == 1)) {
            singleByte = false;
            break;
        }
        table->set(b, c);
    }
    iconv_close(cd);
    if (singleByte) {
        table->finish();
        result.table = std::move(table);
    }
    return result;
}

// Probing costs 256 iconv calls, so its result is kept per name for the
// process. The tables are immutable once published.
Probe lookup(const std::string& name) {
    static std::mutex mutex;
    static std::map<std::string, Probe> cache;
    const std::string key = canonicalName(name);
    if (key == "WINDOWS1252" || key == "CP1252") return {true, windows1252()};
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = cache.find(key);
        if (it != cache.end()) return it->second;
    }
    Probe result = probe(name);
    if (!result.known) return result;  // unknown names are not kept
    std::lock_guard<std::mutex> lock(mutex);
    return cache.emplace(key, std::move(result)).first->second;
}

void appendFallback(std::string& out, char32_t c, CodePage::Fallback fallback) {
    if (fallback == CodePage::Fallback::HtmlReference)
        out += characterReference(c).str();
    else
        out.push_back('?');
}

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

// Runs the whole input through iconv. Where iconv stops at input it cannot
// convert, onStop(position, replacement) fills in the replacement and answers
// how many input bytes it stands for; conversion resumes after them.
//
// iconv is fed through a window that starts small after each stop and doubles
// while the input converts: glibc redoes the work of a whole call when a
// later conversion step fails, so one large call per stop would make text
// full of unconvertible characters quadratic.
template <typename OnStop>
void convertWithIconv(iconv_t cd, std::string_view input, std::string& out, size_t ratio,
                      OnStop onStop) {
    constexpr size_t kMinWindow = 64;
    constexpr size_t kMaxWindow = 1 << 16;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(input.size() * ratio + 64);
    size_t used = 0;
    size_t pos = 0;
    size_t window = kMinWindow;
    std::string replacement;
    auto room = [&](size_t needed) {
        if (out.size() - used < needed) out.resize(out.size() * 2 + needed);
    };
    for (;;) {
        const size_t start = pos;
        const size_t take = std::min(window, input.size() - pos);
        char* in = const_cast<char*>(input.data()) + pos;
        size_t inLeft = take;
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        // With nothing left, the call writes what a stateful code page still
        // owes (the shift back to its initial state).
        const size_t result = take ? iconv(cd, &in, &inLeft, &outPtr, &outLeft)
                                   : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        const int error = errno;
        pos = static_cast<size_t>(in - input.data());
        used = static_cast<size_t>(outPtr - out.data());
        if (result != static_cast<size_t>(-1)) {
            if (take == 0) break;
            window = std::min(window * 2, kMaxWindow);
            continue;
        }
        if (error == E2BIG) {
            room(out.size());
            continue;
        }
        if (take == 0) break;  // the final shift failed: nothing more to write
        if (error == EINVAL && start + take < input.size()) {
            // The window cut a character in two: carry on from its start.
            if (pos == start) window *= 2;
            continue;
        }
        replacement.clear();
        const size_t skip = std::min(onStop(pos, replacement), input.size() - pos);
        room(replacement.size());
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        pos += skip;
        window = kMinWindow;
    }
    out.resize(used);
}

}  // namespace

CodePage::CodePage() : m_table(windows1252()) {}

Expected<CodePage> CodePage::open(const std::string& name) {
    CodePage page;
    page.m_name = name;
    page.m_table = nullptr;
    if (canonicalName(name) == "UTF8") {
        page.m_utf8 = true;
        return page;
    }
    if (name.empty()) return Error{"Unknown code page \"\": name a code page such as windows-1252"};
    Probe found = lookup(name);
    if (!found.known) return Error{"Unknown code page \"" + name + "\": iconv cannot convert it"};
    page.m_table = std::move(found.table);
    return page;
}

std::string CodePage::toUtf8(std::string_view bytes, size_t* invalidCount) const {
    size_t invalid = 0;
    std::string out;
    if (m_utf8) {
        if (isValidUtf8(bytes)) {
            out.assign(bytes);
        } else {
            out.reserve(bytes.size() + 16);
            size_t i = 0;
            while (i < bytes.size()) {
                size_t length = 0;
                const char32_t c = decodeUtf8(bytes, i, length);
                if (c == 0xFFFD && length == 1) {  // a byte that is not UTF-8
                    out += kReplacementUtf8;
                    ++invalid;
                } else {
                    out.append(bytes.substr(i, length));
                }
                i += length;
            }
        }
    } else if (m_table) {
        const ByteTable& t = *m_table;
        // Exact size first, then one pass writing in place.
        // ASCII runs (most of a module) are measured and copied whole.
        size_t size = 0;
        for (size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80 && t.asciiBased) {
                const size_t end = asciiRunEnd(bytes, i + 1);
                size += end - i;
                i = end;
            } else {
                size += t.utf8Length[b];
                ++i;
            }
        }
        out.resize(size);
        char* p = out.data();
        for (size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80 && t.asciiBased) {
                const size_t end = asciiRunEnd(bytes, i + 1);
                std::memcpy(p, bytes.data() + i, end - i);
                p += end - i;
                i = end;
                continue;
            }
            if (t.code[b] == ByteTable::kUndefined) ++invalid;
            std::memcpy(p, t.utf8[b].data(), t.utf8Length[b]);
            p += t.utf8Length[b];
            ++i;
        }
    } else {
        out = decodeWithIconv(bytes, invalid);
    }
    if (invalidCount) *invalidCount = invalid;
    return out;
}

std::string CodePage::decodeWithIconv(std::string_view bytes, size_t& invalid) const {
    std::string out;
    const IconvDescriptor cd("UTF-8", m_name.c_str());
    if (!cd) {
        // Cannot happen for a page made by open(); keep ASCII, mark the rest.
        for (unsigned char b : bytes) {
            if (b < 0x80) {
                out.push_back(static_cast<char>(b));
            } else {
                out += kReplacementUtf8;
                ++invalid;
            }
        }
        return out;
    }
    // A byte that does not decode (or a sequence cut off at the end) becomes
    // U+FFFD, and decoding goes on after it.
    convertWithIconv(cd.get(), bytes, out, 2, [&](size_t, std::string& replacement) {
        replacement = kReplacementUtf8;
        ++invalid;
        return size_t{1};
    });
    return out;
}

std::string CodePage::fromUtf8(std::string_view utf8, Fallback fallback,
                               size_t* unmappedCount) const {
    size_t unmapped = 0;
    std::string out;
    if (m_utf8) {
        if (isValidUtf8(utf8)) {
            out.assign(utf8);
        } else {
            size_t i = 0;
            while (i < utf8.size()) {
                size_t length = 0;
                const char32_t c = decodeUtf8(utf8, i, length);
                if (c == 0xFFFD && length == 1) {
                    appendFallback(out, 0xFFFD, fallback);
                    ++unmapped;
                } else {
                    out.append(utf8.substr(i, length));
                }
                i += length;
            }
        }
    } else if (m_table) {
        const ByteTable& t = *m_table;
        out.reserve(utf8.size());
        size_t i = 0;
        while (i < utf8.size()) {
            const auto b = static_cast<unsigned char>(utf8[i]);
            if (b < 0x80 && t.asciiBased) {
                // Pages are mostly ASCII: copy the whole run at once.
                const size_t end = asciiRunEnd(utf8, i + 1);
                out.append(utf8.data() + i, end - i);
                i = end;
                continue;
            }
            size_t length = 0;
            const char32_t c = decodeUtf8(utf8, i, length);
            const bool validChar = !(c == 0xFFFD && length == 1);
            auto it = validChar ? t.byteOf.find(c) : t.byteOf.end();
            if (it != t.byteOf.end()) {
                out.push_back(static_cast<char>(it->second));
            } else {
                appendFallback(out, c, fallback);
                ++unmapped;
            }
            i += length;
        }
    } else {
        out = encodeWithIconv(utf8, fallback, unmapped);
    }
    if (unmappedCount) *unmappedCount = unmapped;
    return out;
}

bool CodePage::encodePieces(std::string_view utf8, Fallback fallback,
                            const std::function<bool(std::string_view)>& put,
                            size_t pieceSize) const {
    pieceSize = std::max<size_t>(pieceSize, 1);
    auto isAscii = [&](size_t at) { return static_cast<unsigned char>(utf8[at]) < 0x80; };
    size_t start = 0;
    while (start < utf8.size()) {
        // An ASCII byte is never part of another character, in any decoder
        // here: a piece ending in one leaves the next character whole.
        size_t end = std::min(utf8.size(), start + pieceSize);
        if (end < utf8.size()) {
            size_t back = end;
            while (back > start && !isAscii(back - 1)) --back;
            if (back > start) {
                end = back;
            } else {
                while (end < utf8.size() && !isAscii(end - 1)) ++end;
            }
        }
        const std::string_view piece = utf8.substr(start, end - start);
        const bool same =
            m_utf8 ? isValidUtf8(piece)
                   : m_table && m_table->asciiBased && asciiRunEnd(piece, 0) == piece.size();
        if (!(same ? put(piece) : put(fromUtf8(piece, fallback)))) return false;
        start = end;
    }
    return true;
}

std::string CodePage::encodeWithIconv(std::string_view utf8, Fallback fallback,
                                      size_t& unmapped) const {
    std::string out;
    const IconvDescriptor cd(m_name.c_str(), "UTF-8");
    if (!cd) {
        for (size_t i = 0; i < utf8.size();) {
            size_t length = 0;
            const char32_t c = decodeUtf8(utf8, i, length);
            if (c < 0x80) {
                out.push_back(static_cast<char>(c));
            } else {
                appendFallback(out, c, fallback);
                ++unmapped;
            }
            i += length;
        }
        return out;
    }
    // A character the code page cannot hold, or a byte that is not UTF-8.
    convertWithIconv(cd.get(), utf8, out, 1, [&](size_t pos, std::string& replacement) {
        size_t length = 0;
        const char32_t c = decodeUtf8(utf8, pos, length);
        appendFallback(replacement, c, fallback);
        ++unmapped;
        return length == 0 ? size_t{1} : length;
    });
    return out;
}

}  // namespace tarnwick
