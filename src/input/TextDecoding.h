#pragma once
// How the bytes of a peak file become text: a UTF-16 byte-order mark means
// UTF-16, anything else is 8-bit text. Shared by every peak reader.
#include <string>
#include <string_view>

namespace lociview {

// How the bytes of a file read as text.
enum class TextEncoding { Latin1, Utf16LE, Utf16BE, None };

// A leading FF FE / FE FF byte-order mark means UTF-16 in that byte order
// (odd length: no text); anything else is one Latin-1 character per byte.
TextEncoding detectEncoding(std::string_view bytes);

// The code points of UTF-16 bytes after their byte-order mark. A lone
// surrogate stays as it is.
std::u32string decodeUtf16(std::string_view bytes, bool littleEndian);

void appendUtf8(std::string& out, char32_t c);

// Text as the table readers take it: UTF-8, a view of the bytes themselves
// when they are already UTF-8 (plain ASCII, the usual export), else a copy.
class Utf8Text {
public:
    // Nothing (an empty text that is not readable) for UTF-16 of odd length.
    // 8-bit bytes that are valid UTF-8 are read as UTF-8 (a UTF-8 byte-order
    // mark is dropped), others as Latin-1, as the classic reader takes them.
    static Utf8Text decode(std::string_view bytes);

    std::string_view text() const { return owned.empty() ? view : std::string_view(owned); }
    bool readable() const { return ok; }

    Utf8Text(const Utf8Text&) = delete;
    Utf8Text& operator=(const Utf8Text&) = delete;
    Utf8Text(Utf8Text&&) = default;
    Utf8Text& operator=(Utf8Text&&) = default;

private:
    Utf8Text() = default;
    std::string owned;
    std::string_view view;
    bool ok = true;
};

}  // namespace lociview
