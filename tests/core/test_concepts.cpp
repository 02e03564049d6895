// Billing concept sets: the fixed-width lists of the empresa row, read back and written
// byte for byte, and the read helpers the voucher screen uses.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/sqlhelpers.h"
#include "db/database.h"
#include "support/testsupport.h"
#include "vouchers/concepts.h"

namespace kesh::vouchers {
namespace {

std::string pad(const std::string& s) { return PadField(s); }

// A purchases set as an accountant would configure it: two VAT rates, perceptions and
// gross income, accounts on every concept, accented names.
ConceptLists sampleLists() {
    ConceptLists l;
    l.names = pad("Total") + pad("Neto gravado") + pad("IVA 21%") + pad("IVA 10.5%") +
              pad("Imp. Internos") + pad("Retención IVA") + pad("Percepción IVA") +
              pad("Ret. Ing. Brutos") + pad("Percepción IIBB") + pad("Otros Impuestos") +
              pad("Otros Conceptos") + pad("Neto no gravado");
    l.rates = "0000" "0000" "2100" "1050" "0000" "0000" "0300" "0000" "0350" "0000" "0000" "0000";
    l.flags = "001111110100";
    l.codes = pad("0005000100010001") + pad("00010001000500010001") + pad("0001000100050002") +
              pad("") + pad("0001000100050003") + pad("0001000100050004") +
              pad("0001000100050005") + pad("0001000100050006") + pad("") + pad("") +
              pad("0005000100010002") + pad("0002000100010001");
    l.sides = "DDDDDDDDDDDC";
    l.mode = 1;
    return l;
}

TEST(ConceptLists, ParseAndFormatRoundTripByteForByte) {
    const ConceptLists l = sampleLists();
    ASSERT_EQ(Utf8Length(l.names), kNamesLength);
    const ConceptSet set = ParseConceptSet(l);
    EXPECT_TRUE(set.namesValid);
    EXPECT_TRUE(set.accountsValid);
    EXPECT_EQ(set.at(2).name, "IVA 21%");
    EXPECT_EQ(set.at(3).rate, 1050);
    EXPECT_EQ(set.at(7).name, "Ret. Ing. Brutos");
    EXPECT_EQ(set.at(8).rate, 350);
    EXPECT_FALSE(set.at(8).group);       // computed on the Total
    EXPECT_TRUE(set.at(7).group);
    EXPECT_EQ(set.at(1).code, "0005000100010001");  // account order: concept 1 in slot 0
    EXPECT_EQ(set.at(2).code, "00010001000500010001");
    EXPECT_EQ(set.at(12).code, "0002000100010001");
    EXPECT_EQ(set.at(12).side, 'C');
    EXPECT_EQ(FormatConceptSet(set), l);
}

TEST(ConceptLists, TemplateListsSurviveTheDatabaseRoundTrip) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "concepts_template");
    for (VoucherSide side : {VoucherSide::Purchases, VoucherSide::Sales}) {
        const ConceptLists stored = ReadConceptLists(path, side);
        EXPECT_EQ(FormatConceptSet(ParseConceptSet(stored)), stored);
        // Saving what was loaded writes the same characters back.
        EXPECT_EQ(SaveConceptSet(path, side, LoadConceptSet(path, side)), "");
        EXPECT_EQ(ReadConceptLists(path, side), stored);
    }
}

TEST(ConceptLists, SavedSetReadsBackAfterReopening) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "concepts_save");
    ConceptSet set = ParseConceptSet(sampleLists());
    set.at(10).name = "Percepción Ganancias y otros";  // longer than 20: cut
    set.at(10).rate = 0;
    set.at(10).group = true;   // rate 0 in the group: stored as such, never calculated
    set.at(9).rate = 125;
    ASSERT_EQ(SaveConceptSet(path, VoucherSide::Sales, set), "");

    const ConceptLists back = ReadConceptLists(path, VoucherSide::Sales);
    EXPECT_EQ(back, FormatConceptSet(set));
    EXPECT_EQ(Utf8Length(back.names), kNamesLength);
    EXPECT_EQ(ConceptName(back.names, 11), "Percepción Ganancias");
    EXPECT_EQ(ConceptName(back.names, 12), "Neto no gravado");
    EXPECT_EQ(back.flags, "001111110110");
    EXPECT_EQ(back.rates.substr(36, 4), "0125");
    EXPECT_EQ(back.mode, 1);
    // The other side is untouched.
    const std::string kesh0 = test::CopyTemplate("kesh0.fdb", "concepts_untouched");
    EXPECT_EQ(ReadConceptLists(path, VoucherSide::Purchases),
              ReadConceptLists(kesh0, VoucherSide::Purchases));
}

TEST(ConceptLists, WrongLengthsLoadNothingAndSaveWellFormedLists) {
    ConceptLists broken = sampleLists();
    broken.rates = "21001050";
    broken.codes = "0001";
    const ConceptSet set = ParseConceptSet(broken);
    EXPECT_FALSE(set.namesValid);
    EXPECT_FALSE(set.accountsValid);
    EXPECT_EQ(set.at(2).name, "");
    EXPECT_EQ(set.at(1).name, "Neto gravado");
    EXPECT_EQ(set.at(12).name, "Total");
    const ConceptLists out = FormatConceptSet(set);
    EXPECT_EQ(Utf8Length(out.names), kNamesLength);
    EXPECT_EQ(out.rates, std::string(48, '0'));
    EXPECT_EQ(out.flags, std::string(12, '0'));
    EXPECT_EQ(out.codes, std::string(240, ' '));
    EXPECT_EQ(out.sides, std::string(12, 'C'));  // no side known: credit, as the screen does
    // An empty configurable name keeps its place: the fixed names stay in their slots.
    EXPECT_EQ(ConceptName(out.names, 1), "Total");
    EXPECT_EQ(ConceptName(out.names, 12), "Neto no gravado");
}

TEST(ConceptLists, ReadHelpers) {
    const ConceptLists l = sampleLists();
    EXPECT_EQ(ConceptName(l.names, 1), "Total");
    EXPECT_EQ(ConceptName(l.names, 7), "Percepción IVA");
    EXPECT_EQ(ConceptName(l.names, 13), "");
    EXPECT_EQ(ConceptName("Total", 2), "");
    EXPECT_EQ(ConceptRateText(l.rates, 3), "  21.00");
    EXPECT_EQ(ConceptRateText(l.rates, 4), "  10.50");
    EXPECT_EQ(ConceptRateText("2100", 1), "00.00");
    EXPECT_EQ(ConceptAccount(l.codes, 1), "0005000100010001");
    EXPECT_EQ(ConceptAccount(l.codes, 4), "");
    EXPECT_EQ(ConceptAccount(pad("0000"), 1), "");
    EXPECT_EQ(ConceptAccount(l.codes, 13), "");
}

TEST(ConceptLists, MainVatRates) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "concepts_vat");
    const MainVatRates r = ReadMainVatRates(path, VoucherSide::Purchases);
    EXPECT_DOUBLE_EQ(r.first, 21.0);
    EXPECT_DOUBLE_EQ(r.second, 10.5);
    db::WithTransaction(path, [](db::Transaction& tr) {
        tr.execute("update empresa set VAlicuotas = '00002100'");
    });
    const MainVatRates none = ReadMainVatRates(path, VoucherSide::Sales);
    EXPECT_EQ(none.first, 0);
    EXPECT_EQ(none.second, 0);
}

TEST(ConceptRates, TypedRates) {
    const struct {
        const char* text;
        std::optional<int> rate;
    } cases[] = {
        {"21", 2100},   {"10,5", 1050}, {"10.5", 1050}, {"", 0},         {"  ", 0},
        {"9.5", 950},   {"0.75", 75},   {"99.99", 9999}, {"007", 700},    {".5", 50},
        {"100", std::nullopt},  {"150.5", std::nullopt}, {"1.234", std::nullopt},
        {"abc", std::nullopt},  {".", std::nullopt},     {"1.2.3", std::nullopt},
        {"-5", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseRate(c.text), c.rate) << c.text;
    EXPECT_EQ(FormatRate(950), "9.50");
    EXPECT_EQ(ShortRate(1050), "10.5");
    EXPECT_EQ(ShortRate(2100), "21");
}

TEST(ConceptRates, SaveRefusesRatesThatDoNotFitTheBlock) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "concepts_refuse");
    const ConceptLists before = ReadConceptLists(path, VoucherSide::Purchases);
    ConceptSet set = ParseConceptSet(before);
    set.at(4).rate = 10000;
    EXPECT_EQ(SaveConceptSet(path, VoucherSide::Purchases, set),
              "La alícuota de Imp. Internos debe ser menor que 100 %.");
    EXPECT_EQ(ReadConceptLists(path, VoucherSide::Purchases), before);
}

}  // namespace
}  // namespace kesh::vouchers
