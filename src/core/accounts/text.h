#pragma once
// Small text helpers of the chart code: codes read from the database may carry blanks (old
// imports), and abbreviations are upper case.

#include <string>
#include <string_view>

namespace kesh::accounts_text {

inline std::string Trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

// Upper case of the ASCII letters; other characters as they are.
inline std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace kesh::accounts_text
