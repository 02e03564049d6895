#include "accounts/codes.h"

#include <vector>

namespace kesh {
namespace {

std::string_view trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

constexpr size_t kMaxLevels = 5;
constexpr size_t kGroupWidth = 4;

} // namespace

bool IsDisplayForm(std::string_view code) {
    code = trimmed(code);
    return code.size() < kGroupWidth || code.find('.') != std::string_view::npos;
}

std::string ToInternalCode(std::string_view code) {
    code = trimmed(code);
    if (code.empty() || !IsDisplayForm(code)) return std::string(code);
    std::string out;
    size_t start = 0;
    for (size_t level = 0; level < kMaxLevels; ++level) {
        const size_t dot = code.find('.', start);
        const std::string group = "0000" + std::string(code.substr(start, dot - start));
        out += group.substr(group.size() - kGroupWidth);
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    return out;
}

std::string ToDisplayCode(std::string_view code) {
    code = trimmed(code);
    if (IsDisplayForm(code)) return std::string(code);
    if (code.size() % kGroupWidth != 0) return {};
    std::string out;
    for (size_t i = 0; i < code.size(); i += kGroupWidth) {
        int value = 0;
        for (char c : code.substr(i, kGroupWidth)) {
            if (c < '0' || c > '9') return {};
            value = value * 10 + (c - '0');
        }
        if (i > 0) out += '.';
        out += std::to_string(value);
    }
    return out;
}

int CodeLevel(std::string_view code) {
    const std::string display = ToDisplayCode(code);
    int level = 1;
    for (size_t i = 1; i + 1 < display.size(); ++i)
        if (display[i] == '.') ++level;
    return level;
}

std::string ParentCode(std::string_view code) {
    if (CodeLevel(code) <= 1) return {};
    const std::string display = ToDisplayCode(code);
    return display.substr(0, display.rfind('.'));
}

} // namespace kesh
