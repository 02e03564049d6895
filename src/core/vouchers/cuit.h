#pragma once
// The Argentine tax number (CUIT / CUIL): eleven digits, shown NN-NNNNNNNN-N, the last one a
// check digit over the first ten.

#include <string>
#include <string_view>

namespace kesh::vouchers {

// The digits of a typed text, everything else dropped ("20-12345678-6" -> "20123456786").
std::string CuitDigits(std::string_view text);

// True when the text holds exactly eleven digits whose last is the check digit: the first
// ten weighted 5,4,3,2,7,6,5,4,3,2, summed modulo 11, and 11 minus that remainder (0 for a
// remainder of 0). A remainder of 1 would ask for 10, which no digit is: such a number is
// never valid. Extra digits make it invalid too: they are no CUIT, only a typing mistake.
bool CuitIsValid(std::string_view text);

// The expected check digit of the first ten digits; -1 when there are fewer than ten digits
// or the remainder asks for 10.
int CuitCheckDigit(std::string_view text);

// "NN-NNNNNNNN-N" for a text of eleven digits; otherwise the text as typed.
std::string FormatCuit(std::string_view text);

// The input mask of the CUIT field (Qt mask syntax, blanks allowed while typing).
inline constexpr const char* kCuitInputMask = "99-99999999-9";

}  // namespace kesh::vouchers
