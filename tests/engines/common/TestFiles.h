#pragma once
// The recorded decks and listings in tests/data, and line ends as the
// product's reading of a listing leaves them: CR LF.
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace engine_test {

inline std::string ReadTestFile(const std::string& name) {
    std::ifstream f(std::string(FLUVENA_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline std::string ToCrLf(std::string_view lf) {
    std::string out;
    for (std::size_t i = 0; i < lf.size(); ++i) {
        if (lf[i] == '\n' && (i == 0 || lf[i - 1] != '\r')) out += '\r';
        out += lf[i];
    }
    return out;
}

}  // namespace engine_test
