#pragma once
// Just enough of a JSON reader to check what fluvena-batch prints: objects,
// arrays, strings (with \u escapes of the basic plane), numbers, true, false,
// null. Numbers are read back with from_chars, so a printed double compares
// exactly with the value it came from.
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace minijson {

struct Value {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Value> items;
    std::map<std::string, Value> fields;

    const Value& operator[](const std::string& key) const
    {
        const auto it = fields.find(key);
        if (kind != Kind::Object || it == fields.end()) throw std::runtime_error("no field " + key);
        return it->second;
    }
    const Value& operator[](std::size_t i) const
    {
        if (kind != Kind::Array || i >= items.size()) throw std::runtime_error("no item " + std::to_string(i));
        return items[i];
    }
    // A number field; null stands for a value that was not finite.
    double Num() const { return kind == Kind::Null ? NAN : number; }
};

class Reader {
public:
    explicit Reader(std::string_view s) : s_(s) {}
    Value Document()
    {
        Value v = Parse();
        Blank();
        if (p_ != s_.size()) Fail("trailing text");
        return v;
    }

private:
    [[noreturn]] void Fail(const char* what) { throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(p_)); }
    void Blank()
    {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t')) ++p_;
    }
    bool Eat(char c)
    {
        Blank();
        if (p_ < s_.size() && s_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }
    void Expect(char c)
    {
        if (!Eat(c)) Fail("unexpected character");
    }
    bool Word(std::string_view w)
    {
        if (s_.substr(p_, w.size()) != w) return false;
        p_ += w.size();
        return true;
    }
    std::string String()
    {
        Expect('"');
        std::string out;
        while (p_ < s_.size() && s_[p_] != '"') {
            const char c = s_[p_++];
            if (static_cast<unsigned char>(c) < 0x20) Fail("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p_ >= s_.size()) Fail("bad escape");
            const char e = s_[p_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                unsigned cp = 0;
                const auto r = std::from_chars(s_.data() + p_, s_.data() + p_ + 4, cp, 16);
                if (r.ptr != s_.data() + p_ + 4) Fail("bad \\u escape");
                p_ += 4;
                if (cp < 0x80) out += static_cast<char>(cp);
                else if (cp < 0x800) out += static_cast<char>(0xC0 | (cp >> 6)), out += static_cast<char>(0x80 | (cp & 0x3F));
                else
                    out += static_cast<char>(0xE0 | (cp >> 12)), out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        out += static_cast<char>(0x80 | (cp & 0x3F));
                break;
            }
            default: Fail("bad escape");
            }
        }
        Expect('"');
        return out;
    }
    Value Parse()
    {
        Blank();
        Value v;
        if (p_ >= s_.size()) Fail("end of text");
        const char c = s_[p_];
        if (c == '{') {
            ++p_;
            v.kind = Value::Kind::Object;
            if (Eat('}')) return v;
            do {
                Blank();
                std::string key = String();
                Expect(':');
                v.fields[key] = Parse();
            } while (Eat(','));
            Expect('}');
        } else if (c == '[') {
            ++p_;
            v.kind = Value::Kind::Array;
            if (Eat(']')) return v;
            do v.items.push_back(Parse());
            while (Eat(','));
            Expect(']');
        } else if (c == '"') {
            v.kind = Value::Kind::String;
            v.text = String();
        } else if (Word("null")) {
        } else if (Word("true")) {
            v.kind = Value::Kind::Bool, v.boolean = true;
        } else if (Word("false")) {
            v.kind = Value::Kind::Bool;
        } else {
            v.kind = Value::Kind::Number;
            const auto r = std::from_chars(s_.data() + p_, s_.data() + s_.size(), v.number);
            if (r.ec != std::errc() || r.ptr == s_.data() + p_) Fail("bad value");
            p_ = static_cast<std::size_t>(r.ptr - s_.data());
        }
        return v;
    }

    std::string_view s_;
    std::size_t p_ = 0;
};

inline Value Parse(std::string_view text) { return Reader(text).Document(); }

}  // namespace minijson
