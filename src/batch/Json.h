#pragma once
// A small writer of JSON text: one object per call chain, numbers in their
// shortest round-trip form, texts escaped as valid UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena::batch {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The key of the next value inside an object.
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view utf8);
    JsonWriter& Number(double value);  // NaN and infinities give null
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Null();
    JsonWriter& Bool(bool value);
    JsonWriter& Numbers(const std::vector<double>& values);

    const std::string& Text() const { return out_; }

private:
    void Separate();
    std::string out_;
    bool needComma_ = false;
};

// The text as a JSON string literal, quotes included. Bytes that are not
// valid UTF-8 become U+FFFD.
std::string JsonQuote(std::string_view text);

// The shortest text that reads back as the same double.
std::string ShortestDouble(double value);

}  // namespace fluvena::batch
