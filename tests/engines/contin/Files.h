#pragma once
// The recorded decks and listings the CONTIN engine tests read.
#include <fstream>
#include <sstream>
#include <string>

namespace contin_test {

inline std::string ReadTestFile(const std::string& name) {
    std::ifstream f(std::string(FLUVENA_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Line ends as the product's reading of a listing leaves them: CR LF.
inline std::string CrLfText(const std::string& lf) {
    std::string out;
    for (char ch : lf) {
        if (ch == '\n') out += '\r';
        out += ch;
    }
    return out;
}

}  // namespace contin_test
