#pragma once
// Billing concepts: the twelve positions every purchase or sales voucher splits its amount
// over, and the two concept sets (purchases, sales) that the company keeps in its empresa
// row as fixed-width text lists.
//
// Concept numbers (stored in pases.nconcep): 1 "Neto gravado", 2..10 configurable,
// 11 "Neto no gravado", 12 "Total". Each side has six columns (prefix C purchases, V sales):
//
//   Conceptos  240  12 names, 20 characters each          name order
//   Alicuotas   48  12 rates, 4 digits (2100 = 21.00 %)    name order
//   Calculo     12  "1" verification group, "0" not        name order
//   Codigos    240  12 internal account codes, 20 each     account order
//   DeHa        12  "D" debit or "C" credit                account order
//   Modo       int  default calculation mode 0, 1, 2
//
// Name order puts Total in slot 0 and concept n in slot n; account order puts concept n in
// slot n - 1. Other companies' files, the voucher import and the copy between companies read
// these lists verbatim, so the layout is kept to the character. Widths count characters, not
// bytes: a name typed with accents still takes 20 places.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kesh::db {
class Transaction;
}

namespace kesh::vouchers {

enum class VoucherSide { Purchases = 1, Sales = 2 };

// 'C' (compras) or 'V' (ventas): the prefix of the empresa columns, the tip of TipOper.
char SideLetter(VoucherSide side);

inline constexpr int kConceptCount = 12;
inline constexpr int kNetoGravado = 1;
inline constexpr int kNetoNoGravado = 11;
inline constexpr int kTotal = 12;
inline constexpr int kFieldWidth = 20;
inline constexpr std::size_t kNamesLength = 240;
inline constexpr std::size_t kRatesLength = 48;
inline constexpr std::size_t kFlagsLength = 12;
inline constexpr std::size_t kCodesLength = 240;
inline constexpr std::size_t kCodesMinLength = 221;  // a codes list longer than 220 is read
inline constexpr std::size_t kSidesLength = 12;
// A rate is kept in hundredths of a percent; the four-digit block cannot hold 100 %.
inline constexpr int kMaxRate = 9999;

// Slot of concept number n (1..12) in the name-ordered and account-ordered lists.
constexpr int NameSlot(int n) { return n == kTotal ? 0 : n; }
constexpr int AccountSlot(int n) { return n - 1; }

// ---- fixed-width fields -------------------------------------------------------------------

// Field `index` (0-based) of `width` characters of a list, as stored (not trimmed). Shorter
// when the list ends inside the field; empty beyond its end.
std::string FieldAt(std::string_view list, int index, int width = kFieldWidth);
// The text cut to `width` characters and padded with blanks to exactly `width`.
std::string PadField(std::string_view text, int width = kFieldWidth);
std::string Trimmed(std::string_view text);

// ---- the stored lists ---------------------------------------------------------------------

struct ConceptLists {
    std::string names;
    std::string rates;
    std::string flags;
    std::string codes;
    std::string sides;
    int mode = 0;
    bool operator==(const ConceptLists&) const = default;
};

// Reads the six columns of a side from the empresa row.
ConceptLists ReadConceptLists(db::Transaction& tr, VoucherSide side);
// The same on its own connection (the read helper of the voucher screen and the import).
ConceptLists ReadConceptLists(const std::string& dsn, VoucherSide side);
// Writes the six columns of a side as given, in one statement.
void WriteConceptLists(db::Transaction& tr, VoucherSide side, const ConceptLists& lists);

// ---- read helpers over one list (slots and blocks 1-based, as the voucher screen counts) ---

// Trimmed name of slot i; empty when the list is shorter.
std::string ConceptName(std::string_view names, int slot);
// Trimmed code of slot i; "0000" reads as no account; empty at or beyond the end.
std::string ConceptAccount(std::string_view codes, int slot);
// "  21.00" for block "2100"; "00.00" when the list is not exactly 48 characters.
std::string ConceptRateText(std::string_view rates, int block);
// Rate of block i in hundredths of a percent; 0 for a list of the wrong length or a block
// that is not four digits.
int ConceptRate(std::string_view rates, int block);

// The two main VAT rates (concepts 2 and 3) of a side in percent: 21.0 and 10.5.
struct MainVatRates {
    double first = 0;
    double second = 0;
};
MainVatRates ReadMainVatRates(const std::string& dsn, VoucherSide side);

// ---- rates as typed ------------------------------------------------------------------------

// "21" -> 2100, "10,5" and "10.5" -> 1050, "" -> 0. Nothing for text that is not a number,
// has more than two decimals or reaches 100 %.
std::optional<int> ParseRate(std::string_view text);
// 2100 -> "21.00", 950 -> "9.50".
std::string FormatRate(int rate);
// For captions: 2100 -> "21", 1050 -> "10.5".
std::string ShortRate(int rate);

// ---- the concept set as the screens use it -------------------------------------------------

struct Concept {
    std::string name;         // trimmed; fixed for concepts 1, 11 and 12
    int rate = 0;             // hundredths of a percent
    bool group = false;       // part of the check Total = Neto + group concepts
    char side = ' ';          // 'D', 'C', or ' ' when the stored list is absent
    std::string code;         // internal code of the company's account, empty for none
    std::string accountName;  // filled by LoadConceptSet; never stored
};

struct ConceptSet {
    std::array<Concept, kConceptCount> concepts;  // index = concept number - 1
    int mode = 0;
    // Whether the name/rate/flag lists and the code/side lists had the stored layout; the
    // dialog shows only the rows it could fill, as the lists allowed.
    bool namesValid = false;
    bool accountsValid = false;

    Concept& at(int number) { return concepts[number - 1]; }
    const Concept& at(int number) const { return concepts[number - 1]; }
};

// Fixed names of the concepts that are not configurable ("" for 2..10).
std::string FixedConceptName(int number);

// Reads a set out of the lists. Wrong lengths are not an error: those parts stay empty.
ConceptSet ParseConceptSet(const ConceptLists& lists);
// The lists a save writes: always complete and well formed. Names are cut to 20 characters,
// an empty configurable name keeps its 20 blank places (so the fixed names stay in their
// slots), a side other than 'D' is written 'C'.
ConceptLists FormatConceptSet(const ConceptSet& set);

// Why a set cannot be saved, or empty: a rate outside 0..99.99 %, a mode outside 0..2.
std::string CheckConceptSet(const ConceptSet& set);

// Reads a side's set with the names of its accounts.
ConceptSet LoadConceptSet(const std::string& dsn, VoucherSide side);
// Checks and writes a side's set in its own transaction; returns the refusal message, or an
// empty text when it was saved.
std::string SaveConceptSet(const std::string& dsn, VoucherSide side, const ConceptSet& set);

}  // namespace kesh::vouchers
