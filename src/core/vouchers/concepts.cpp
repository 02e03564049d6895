#include "vouchers/concepts.h"

#include <cstdio>

#include "accounts/codes.h"
#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh::vouchers {

namespace {

// Byte offset of the character `chars` places into text (its size when beyond the end).
std::size_t byteOffset(std::string_view text, std::size_t chars) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == chars) return i;
            ++count;
        }
    }
    return text.size();
}

bool isDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// Statement texts per side; the column names are constants, never user text.
struct SideSql {
    const char* select;
    const char* update;
    const char* selectRates;
};

const SideSql& sqlFor(VoucherSide side) {
    static const SideSql purchases{
        "select CConceptos, CAlicuotas, CCalculo, CModo, CCodigos, CDeHa from empresa",
        "update empresa set CConceptos = ?, CAlicuotas = ?, CCodigos = ?, CDeHa = ?, "
        "CCalculo = ?, CModo = ?",
        "select CAlicuotas from empresa"};
    static const SideSql sales{
        "select VConceptos, VAlicuotas, VCalculo, VModo, VCodigos, VDeHa from empresa",
        "update empresa set VConceptos = ?, VAlicuotas = ?, VCodigos = ?, VDeHa = ?, "
        "VCalculo = ?, VModo = ?",
        "select VAlicuotas from empresa"};
    return side == VoucherSide::Purchases ? purchases : sales;
}

}  // namespace

char SideLetter(VoucherSide side) { return side == VoucherSide::Purchases ? 'C' : 'V'; }

std::string FieldAt(std::string_view list, int index, int width) {
    if (index < 0 || width <= 0) return {};
    const std::size_t from = byteOffset(list, std::size_t(index) * std::size_t(width));
    const std::string_view rest = list.substr(from);
    return std::string(rest.substr(0, byteOffset(rest, std::size_t(width))));
}

std::string PadField(std::string_view text, int width) {
    std::string s = Utf8Left(text, std::size_t(width));
    const std::size_t len = Utf8Length(s);
    if (len < std::size_t(width)) s.append(std::size_t(width) - len, ' ');
    return s;
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// ---- stored lists ---------------------------------------------------------------------------

ConceptLists ReadConceptLists(db::Transaction& tr, VoucherSide side) {
    ConceptLists l;
    db::Statement s = tr.prepare(sqlFor(side).select);
    s.open();
    if (s.next()) {
        // Column order of the select: names, rates, flags, mode, codes, sides.
        l.names = s.getText(0);
        l.rates = s.getText(1);
        l.flags = s.getText(2);
        l.mode = int(s.getInt(3));
        l.codes = s.getText(4);
        l.sides = s.getText(5);
    }
    return l;
}

ConceptLists ReadConceptLists(const std::string& dsn, VoucherSide side) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) { return ReadConceptLists(tr, side); });
}

void WriteConceptLists(db::Transaction& tr, VoucherSide side, const ConceptLists& l) {
    tr.execute(sqlFor(side).update, {l.names, l.rates, l.codes, l.sides, l.flags, l.mode});
}

// ---- read helpers ---------------------------------------------------------------------------

std::string ConceptName(std::string_view names, int slot) {
    if (slot < 1) return {};
    return Trimmed(FieldAt(names, slot - 1));
}

std::string ConceptAccount(std::string_view codes, int slot) {
    if (slot < 1) return {};
    std::string code = Trimmed(FieldAt(codes, slot - 1));
    return code == "0000" ? std::string() : code;
}

std::string ConceptRateText(std::string_view rates, int block) {
    if (rates.size() != kRatesLength || block < 1 || block > kConceptCount) return "00.00";
    const std::string_view b = rates.substr(std::size_t(block - 1) * 4, 4);
    return "  " + std::string(b.substr(0, 2)) + "." + std::string(b.substr(2, 2));
}

int ConceptRate(std::string_view rates, int block) {
    if (rates.size() != kRatesLength || block < 1 || block > kConceptCount) return 0;
    const std::string_view b = rates.substr(std::size_t(block - 1) * 4, 4);
    return isDigits(b) ? std::stoi(std::string(b)) : 0;
}

MainVatRates ReadMainVatRates(const std::string& dsn, VoucherSide side) {
    const std::string rates = db::WithTransaction(
        dsn, [&](db::Transaction& tr) { return tr.queryText(sqlFor(side).selectRates); });
    // Concepts 2 and 3 sit in name slots 2 and 3, the third and fourth blocks.
    return {ConceptRate(rates, 3) / 100.0, ConceptRate(rates, 4) / 100.0};
}

// ---- rates as typed -------------------------------------------------------------------------

std::optional<int> ParseRate(std::string_view text) {
    const std::string t = Trimmed(CommaToDot(text));
    if (t.empty()) return 0;
    const auto dot = t.find('.');
    const std::string whole = t.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : t.substr(dot + 1);
    if (whole.empty() && frac.empty()) return std::nullopt;
    if ((!whole.empty() && !isDigits(whole)) || (!frac.empty() && !isDigits(frac)))
        return std::nullopt;
    if (frac.size() > 2) return std::nullopt;
    frac.resize(2, '0');
    const auto significant = whole.find_first_not_of('0');
    const std::string units = significant == std::string::npos ? "0" : whole.substr(significant);
    // Two integer digits is all the stored block holds: 100 % and more are refused.
    if (units.size() > 2) return std::nullopt;
    const int rate = std::stoi(units) * 100 + std::stoi(frac);
    return rate;
}

std::string FormatRate(int rate) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%02d", rate / 100, rate % 100);
    return buf;
}

std::string ShortRate(int rate) {
    std::string s = FormatRate(rate);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

// ---- the set --------------------------------------------------------------------------------

std::string FixedConceptName(int number) {
    switch (number) {
    case kNetoGravado: return "Neto gravado";
    case kNetoNoGravado: return "Neto no gravado";
    case kTotal: return "Total";
    default: return {};
    }
}

ConceptSet ParseConceptSet(const ConceptLists& l) {
    ConceptSet set;
    set.mode = l.mode;
    for (int n = 1; n <= kConceptCount; ++n) set.at(n).name = FixedConceptName(n);

    // Names, rates and flags are read together: without well-formed rates and flags the
    // configurable concepts are not shown at all.
    set.namesValid = Utf8Length(l.rates) == kRatesLength && Utf8Length(l.flags) == kFlagsLength;
    if (set.namesValid) {
        for (int n = 2; n <= 10; ++n) {
            Concept& c = set.at(n);
            c.name = ConceptName(l.names, NameSlot(n) + 1);
            c.rate = ConceptRate(l.rates, NameSlot(n) + 1);
            c.group = l.flags[std::size_t(NameSlot(n))] == '1';
        }
    }
    set.accountsValid =
        Utf8Length(l.codes) >= kCodesMinLength && Utf8Length(l.sides) == kSidesLength;
    if (set.accountsValid) {
        for (int n = 1; n <= kConceptCount; ++n) {
            Concept& c = set.at(n);
            c.code = ConceptAccount(l.codes, AccountSlot(n) + 1);
            c.side = l.sides[std::size_t(AccountSlot(n))];
        }
    }
    return set;
}

ConceptLists FormatConceptSet(const ConceptSet& set) {
    ConceptLists l;
    l.mode = set.mode;
    l.names = PadField("Total") + PadField("Neto gravado");
    l.rates = "00000000";
    l.flags = "00";
    for (int n = 2; n <= 10; ++n) {
        const Concept& c = set.at(n);
        l.names += PadField(Trimmed(c.name));
        char block[8];
        const int rate = c.rate < 0 || c.rate > kMaxRate ? 0 : c.rate;
        std::snprintf(block, sizeof block, "%04d", rate);
        l.rates += block;
        l.flags += c.group ? '1' : '0';
    }
    l.names += PadField("Neto no gravado");
    l.rates += "0000";
    l.flags += '0';
    for (int n = 1; n <= kConceptCount; ++n) {
        const Concept& c = set.at(n);
        l.codes += PadField(ToInternalCode(c.code));
        l.sides += c.side == 'D' ? 'D' : 'C';
    }
    return l;
}

std::string CheckConceptSet(const ConceptSet& set) {
    for (int n = 2; n <= 10; ++n) {
        const Concept& c = set.at(n);
        if (c.rate < 0 || c.rate > kMaxRate)
            return "La alícuota de " + Trimmed(c.name) + " debe ser menor que 100 %.";
    }
    if (set.mode < 0 || set.mode > 2) return "Modalidad de cálculo inválida.";
    return {};
}

ConceptSet LoadConceptSet(const std::string& dsn, VoucherSide side) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        ConceptSet set = ParseConceptSet(ReadConceptLists(tr, side));
        for (Concept& c : set.concepts)
            if (!c.code.empty())
                c.accountName =
                    tr.queryText("select cuenta from cuentas where cod = ?", {c.code});
        return set;
    });
}

std::string SaveConceptSet(const std::string& dsn, VoucherSide side, const ConceptSet& set) {
    std::string problem = CheckConceptSet(set);
    if (!problem.empty()) return problem;
    const ConceptLists lists = FormatConceptSet(set);
    db::WithTransaction(dsn, [&](db::Transaction& tr) { WriteConceptLists(tr, side, lists); });
    return {};
}

}  // namespace kesh::vouchers
