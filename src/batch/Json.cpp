#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace fluvena::batch {

namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t len;
    char32_t cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
    else return 0;
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

}  // namespace

std::string JsonQuote(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        const std::size_t len = Utf8Length(text, i);
        if (len == 0) {
            out += "\\ufffd";
            ++i;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    out += '"';
    return out;
}

std::string ShortestDouble(double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

void JsonWriter::Separate()
{
    if (needComma_) out_ += ',';
    needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject()
{
    Separate();
    out_ += '{';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    out_ += '}';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    Separate();
    out_ += '[';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    out_ += ']';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key)
{
    Separate();
    out_ += JsonQuote(key);
    out_ += ':';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8)
{
    Separate();
    out_ += JsonQuote(utf8);
    return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
    Separate();
    out_ += std::isfinite(value) ? ShortestDouble(value) : "null";
    return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value)
{
    Separate();
    out_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    Separate();
    out_ += "null";
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    Separate();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Numbers(const std::vector<double>& values)
{
    BeginArray();
    for (double v : values) Number(v);
    return EndArray();
}

}  // namespace fluvena::batch
