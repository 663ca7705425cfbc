#include "input/TextDecoding.h"

#include <cstdint>
#include <cstring>

namespace lociview {

namespace {

bool isAscii(std::string_view bytes) {
    // Eight bytes at a time: no byte of the word has its top bit set.
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080u) return false;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    return true;
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        unsigned low = 0x80, high = 0xBF;  // bounds of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > n || p[i + 1] < low || p[i + 1] > high) return false;
        for (size_t k = 2; k < length; ++k)
            if ((p[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        const bool le = b0 == 0xFF && b1 == 0xFE;
        const bool be = b0 == 0xFE && b1 == 0xFF;
        if (le || be) {
            if (bytes.size() % 2 != 0) return TextEncoding::None;
            return le ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        }
    }
    return TextEncoding::Latin1;
}

std::u32string decodeUtf16(std::string_view bytes, bool littleEndian) {
    const auto unit = [&](size_t i) -> char32_t {
        const auto lo = static_cast<unsigned char>(bytes[littleEndian ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[littleEndian ? i + 1 : i]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    std::u32string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t next = unit(i + 2);
            if (next >= 0xDC00 && next < 0xE000) {
                out += 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00);
                i += 2;
                continue;
            }
        }
        out += u;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

Utf8Text Utf8Text::decode(std::string_view bytes) {
    Utf8Text t;
    switch (detectEncoding(bytes)) {
        case TextEncoding::None:
            t.ok = false;
            return t;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const std::u32string points = decodeUtf16(bytes, detectEncoding(bytes) == TextEncoding::Utf16LE);
            t.owned.reserve(points.size());
            // A lone surrogate has no UTF-8 form: it becomes U+FFFD.
            for (const char32_t c : points) appendUtf8(t.owned, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
            return t;
        }
        case TextEncoding::Latin1:
            break;
    }
    if (isAscii(bytes)) {
        t.view = bytes;
    } else if (isUtf8(bytes)) {
        t.view = bytes.substr(bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0);
    } else {
        t.owned.reserve(bytes.size() + bytes.size() / 8);
        for (const char c : bytes) appendUtf8(t.owned, static_cast<unsigned char>(c));
    }
    return t;
}

}  // namespace lociview
