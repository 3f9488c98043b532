#include "support/PageEncoding.h"

#include <cctype>

namespace tarnwick {

namespace {

struct PageEncoding {
    const char* charset;  // as a page declares it
    const char* keys;     // the names iconv knows it by, as key() writes them, ' ' between
};

const PageEncoding kPageEncodings[] = {
    {"UTF-8", "utf8"},
    {"windows-874", "windows874 cp874 tis620 iso885911"},
    {"windows-1250", "windows1250 cp1250"},
    {"windows-1251", "windows1251 cp1251"},
    {"windows-1252", "windows1252 cp1252"},
    {"windows-1253", "windows1253 cp1253"},
    {"windows-1254", "windows1254 cp1254"},
    {"windows-1255", "windows1255 cp1255"},
    {"windows-1256", "windows1256 cp1256"},
    {"windows-1257", "windows1257 cp1257"},
    {"windows-1258", "windows1258 cp1258"},
    {"ISO-8859-1", "iso88591 latin1 l1"},
    {"ISO-8859-2", "iso88592 latin2 l2"},
    {"ISO-8859-3", "iso88593 latin3 l3"},
    {"ISO-8859-4", "iso88594 latin4 l4"},
    {"ISO-8859-5", "iso88595 cyrillic"},
    {"ISO-8859-6", "iso88596 arabic"},
    {"ISO-8859-7", "iso88597 greek"},
    {"ISO-8859-8", "iso88598 hebrew"},
    {"ISO-8859-9", "iso88599 latin5 l5"},
    {"ISO-8859-10", "iso885910 latin6 l6"},
    {"ISO-8859-13", "iso885913 latin7 l7"},
    {"ISO-8859-14", "iso885914 latin8 l8"},
    {"ISO-8859-15", "iso885915 latin9"},
    {"ISO-8859-16", "iso885916 latin10 l10"},
    {"KOI8-R", "koi8r"},
    {"KOI8-U", "koi8u koi8ru"},
    {"IBM866", "ibm866 cp866"},
    {"macintosh", "macintosh mac macroman"},
    {"x-mac-cyrillic", "maccyrillic"},
    {"GBK", "gbk cp936 ms936 windows936"},
    {"GB2312", "gb2312 euccn"},
    {"gb18030", "gb18030"},
    {"Big5", "big5 cp950 big5hkscs"},
    {"Shift_JIS", "shiftjis sjis mskanji cp932 windows31j"},
    {"EUC-JP", "eucjp"},
    {"EUC-KR", "euckr cp949 uhc"},
};

// "ISO-8859-1" and "iso_8859_1" alike: letters in lower case and digits only.
std::string key(std::string_view name) {
    std::string out;
    for (const char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool holdsKey(std::string_view keys, std::string_view wanted) {
    for (size_t start = 0; start < keys.size();) {
        size_t end = keys.find(' ', start);
        if (end == std::string_view::npos) end = keys.size();
        if (keys.substr(start, end - start) == wanted) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::optional<std::string> pageCharsetName(std::string_view name) {
    const std::string wanted = key(name);
    if (wanted.empty()) return std::nullopt;
    for (const PageEncoding& encoding : kPageEncodings)
        if (holdsKey(encoding.keys, wanted)) return std::string(encoding.charset);
    return std::nullopt;
}

std::string pageEncodingList() {
    std::string text;
    for (const PageEncoding& encoding : kPageEncodings)
        text += std::string(text.empty() ? "" : ", ") + encoding.charset;
    return text;
}

}  // namespace tarnwick
