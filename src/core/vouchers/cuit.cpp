#include "vouchers/cuit.h"

namespace kesh::vouchers {

std::string CuitDigits(std::string_view text) {
    std::string d;
    for (char c : text)
        if (c >= '0' && c <= '9') d += c;
    return d;
}

int CuitCheckDigit(std::string_view text) {
    static constexpr int kWeights[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    const std::string d = CuitDigits(text);
    if (d.size() < 10) return -1;
    int sum = 0;
    for (int i = 0; i < 10; ++i) sum += (d[std::size_t(i)] - '0') * kWeights[i];
    const int rest = sum % 11;
    const int check = rest == 0 ? 0 : 11 - rest;
    return check == 10 ? -1 : check;
}

bool CuitIsValid(std::string_view text) {
    const std::string d = CuitDigits(text);
    if (d.size() != 11) return false;
    const int check = CuitCheckDigit(d);
    return check >= 0 && check == d[10] - '0';
}

std::string FormatCuit(std::string_view text) {
    const std::string d = CuitDigits(text);
    if (d.size() != 11) return std::string(text);
    return d.substr(0, 2) + "-" + d.substr(2, 8) + "-" + d.substr(10, 1);
}

}  // namespace kesh::vouchers
