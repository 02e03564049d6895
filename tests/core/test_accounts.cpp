// Chart of accounts: validation, creation and changes, code changes and level removal,
// deletion, proposals, abbreviations, the adjustment range, lookups and the standard chart.
#include <gtest/gtest.h>

#include <map>

#include "accounts/chart.h"
#include "accounts/codes.h"
#include "accounts/lookups.h"
#include "accounts/standardchart.h"
#include "db/database.h"
#include "support/testsupport.h"
#include "vouchers/concepts.h"

using namespace kesh;

namespace {

struct Acct {
    const char* code; // display
    const char* name;
    int imp;
    int clase = 0;
};

// A company file holding exactly `chart`.
std::string MakeCompany(const std::string& name, std::initializer_list<Acct> chart) {
    const std::string path = test::CopyTemplate("kesh0.fdb", name);
    db::WithTransaction(path, [&](db::Transaction& tr) {
        for (const Acct& a : chart)
            tr.execute("insert into cuentas (cod, cuenta, imp, clase) values (?, ?, ?, ?)",
                       {ToInternalCode(a.code), a.name, a.imp, a.clase});
    });
    return path;
}

void Post(db::Transaction& tr, const char* code, const char* dh, const char* amount) {
    tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe) values (1, 1, 1, ?, ?, ?)",
               {ToInternalCode(code), dh, *Amount::parse(amount)});
}

// code -> name of the whole chart, display codes.
std::map<std::string, std::string> Chart(db::Transaction& tr) {
    std::map<std::string, std::string> out;
    db::Statement s = tr.prepare("select cod, cuenta from cuentas");
    s.open();
    while (s.next()) out[ToDisplayCode(s.getText("COD"))] = s.getText("CUENTA");
    return out;
}

std::map<std::string, int> LinesPerCode(db::Transaction& tr) {
    std::map<std::string, int> out;
    db::Statement s = tr.prepare("select cod, count(*) n from pases group by cod");
    s.open();
    while (s.next()) out[ToDisplayCode(s.getText("COD"))] = static_cast<int>(s.getInt("N"));
    return out;
}

const std::initializer_list<Acct> kSmallChart = {
    {"1", "ACTIVO", 0},
    {"1.1", "ACTIVO CORRIENTE", 0},
    {"1.1.2", "CREDITOS", 0},
    {"1.1.2.1", "Deudores", 1},
    {"4", "RESULTADOS", 1},
};

TEST(AccountValidation, MessagesInTheirOrder) {
    const std::string path = MakeCompany("validation", kSmallChart);
    struct Case {
        const char* code;
        bool imputable;
        const char* expected;
    };
    const Case cases[] = {
        {"1.1.2", false, "La Cuenta ya existe."},
        {"000100010002", true, "La Cuenta ya existe."},     // internal form too
        {"7.1", false, "Cuenta madre 7 no existe."},
        {"4.1", true, "La cuenta madre 4 no debe ser imputable."},
        {"1.1.5", true, "No se puede crear una cuenta imputable para la cuenta madre 1.1"},
        {"1.1.2.5", false, "No se puede crear una cuenta de grupo para la cuenta madre 1.1.2"},
        {"9", false, "No se puede crear una cuenta de grupo para la cuenta madre "}, // 4 is imputable
        {"1.1.5", false, "Ok"},
        {"1.1.2.5", true, "Ok"},
        {"7", true, "No se puede crear una cuenta imputable para la cuenta madre "},
    };
    db::WithTransaction(path, [&](db::Transaction& tr) {
        for (const Case& c : cases)
            EXPECT_EQ(ValidateNewAccount(tr, c.code, c.imputable), c.expected) << c.code;
    });
}

TEST(AccountChanges, CreateStoresUpperCaseTokenAndRefusesWithTheMessage) {
    const std::string path = MakeCompany("create", kSmallChart);
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(CreateAccount(tr, {"1.1.2.2", "Documentos", "docsabc", 2, true}), "");
        const auto a = FindAccount(tr, "1.1.2.2");
        ASSERT_TRUE(a);
        EXPECT_EQ(a->token, "DOCSA");
        EXPECT_EQ(a->ajus, 2);
        EXPECT_TRUE(a->imputable);
        EXPECT_EQ(a->clase, 0);
        EXPECT_EQ(CreateAccount(tr, {"1.1.2.2", "Otra", "", 0, true}), "La Cuenta ya existe.");
        EXPECT_EQ(CreateAccount(tr, {"1.10000", "Larga", "", 0, false}),
                  "El código de cuenta 1.10000 no es válido.");
        EXPECT_EQ(CreateAccount(tr, {"1.1.1.1.1.1", "Seis", "", 0, false}),
                  "El código de cuenta 1.1.1.1.1.1 no es válido.");
        EXPECT_EQ(AccountName(tr, "1.1.2.2"), "Documentos");
    });
}

TEST(AccountChanges, ChangeSetsTheAdjustmentOfTheWholeSubtree) {
    const std::string path = MakeCompany("change", kSmallChart);
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(ChangeAccount(tr, "1.1", "ACTIVO CTE", "x", false, 3), "");
        EXPECT_EQ(FindAccount(tr, "1.1")->name, "ACTIVO CTE");
        EXPECT_EQ(FindAccount(tr, "1.1.2.1")->ajus, 3);
        EXPECT_EQ(FindAccount(tr, "1.1.2")->ajus, 3);
        EXPECT_EQ(FindAccount(tr, "1")->ajus, 0);
        // A group with subaccounts does not become imputable; an account with lines does not
        // become a group.
        EXPECT_EQ(ChangeAccount(tr, "1.1.2", "CREDITOS", "", true, 0),
                  "La cuenta tiene subcuentas: no puede ser imputable.");
        Post(tr, "1.1.2.1", "D", "10");
        EXPECT_EQ(ChangeAccount(tr, "1.1.2.1", "Deudores", "", false, 0),
                  "La cuenta tiene movimientos: no puede ser una cuenta de grupo.");
    });
}

TEST(AccountChanges, CodeChangeMovesLinesSubaccountsAndStoredBalances) {
    const std::string path = MakeCompany("recode", {{"1", "ACTIVO", 0},
                                                     {"1.1", "CORRIENTE", 0},
                                                     {"1.1.1", "Caja", 1},
                                                     {"1.2", "NO CORRIENTE", 0},
                                                     {"1.3", "OTROS", 0}});
    db::WithTransaction(path, [&](db::Transaction& tr) {
        Post(tr, "1.1.1", "D", "100");
        Post(tr, "1.1.1", "C", "40");
        tr.execute("insert into balance (idej, cod, final) values (1, ?, 60)",
                   {ToInternalCode("1.1.1")});
    });
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(ChangeAccountCode(tr, "1.1", "1.5"), "");
        const auto chart = Chart(tr);
        EXPECT_EQ(chart.count("1.1"), 0u);
        EXPECT_EQ(chart.at("1.5"), "CORRIENTE");
        EXPECT_EQ(chart.at("1.5.1"), "Caja");
        const auto lines = LinesPerCode(tr);
        EXPECT_EQ(lines.count("1.1.1"), 0u);
        EXPECT_EQ(lines.at("1.5.1"), 2);
        EXPECT_EQ(tr.queryText("select cod from balance"), ToInternalCode("1.5.1"));
    });
}

// The billing concepts keep account codes in fixed-width lists (20 characters a concept);
// a code change renames them there too and leaves every other field as it was.
TEST(AccountChanges, CodeChangeRenamesTheBillingConceptLists) {
    const std::string path = MakeCompany("recodelists", {{"1", "ACTIVO", 0},
                                                          {"1.1", "CORRIENTE", 0},
                                                          {"1.1.1", "Caja", 1},
                                                          {"1.1.2", "Banco", 1},
                                                          {"2", "PASIVO", 1}});
    auto list = [](std::vector<std::string> codes) {
        std::string out;
        for (const std::string& c : codes) out += vouchers::PadField(c.empty() ? c : ToInternalCode(c));
        return out;
    };
    db::WithTransaction(path, [&](db::Transaction& tr) {
        tr.execute("update empresa set ccodigos = ?, vcodigos = ?",
                   {list({"1.1.1", "", "2", "1.1.2"}), list({"", "1.1.1"})});
        tr.execute("insert into auxctas (codigos) values (?)", {list({"2", "", "1.1.2"})});
    });
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(ChangeAccountCode(tr, "1.1", "1.5"), "");
    });
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(tr.queryText("select ccodigos from empresa"), list({"1.5.1", "", "2", "1.5.2"}));
        EXPECT_EQ(tr.queryText("select vcodigos from empresa"), list({"", "1.5.1"}));
        std::string party = list({"2", "", "1.5.2"});
        party.resize(240, ' ');
        EXPECT_EQ(tr.queryText("select codigos from auxctas"), party);
    });
}

TEST(AccountChanges, CodeChangeRefusalsChangeNothing) {
    const std::string path = MakeCompany("recoderefuse", {{"1", "ACTIVO", 0},
                                                           {"1.1", "CORRIENTE", 0},
                                                           {"1.1.1", "Caja", 1},
                                                           {"1.2", "NO CORRIENTE", 0},
                                                           {"3", "PATRIMONIO", 1}});
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"1.1", "1.2", "La Cuenta ya existe."},
        {"1.1", "1.1.7", "La cuenta no puede pasar a estar debajo de sí misma."},
        {"1.1", "8.1", "Cuenta madre 8 no existe."},
        {"1.1", "3.1", "La cuenta madre 3 no debe ser imputable."},
        {"1.1.1", "1.9", "No se puede crear una cuenta imputable para la cuenta madre 1"},
        {"1.1", "1.1.1.1.1.7", "El código de cuenta 1.1.1.1.1.7 no es válido."},
        {"9.9", "1.4", "La cuenta 9.9 no existe."},
    };
    db::WithTransaction(path, [&](db::Transaction& tr) {
        const auto before = Chart(tr);
        for (const Case& c : cases) {
            EXPECT_EQ(ChangeAccountCode(tr, c.from, c.to), c.message) << c.from << "->" << c.to;
            EXPECT_EQ(Chart(tr), before);
        }
    });
}

TEST(AccountChanges, RemoveLevelMovesTheSubtreeUp) {
    // Removing 1.1 (level 2): its siblings' subaccounts lose their second level.
    const std::string path = MakeCompany("quitarnivel", {{"1", "ACTIVO", 0},
                                                          {"1.1", "VACIA", 0},
                                                          {"1.2", "CORRIENTE", 0},
                                                          {"1.2.3", "Caja", 1},
                                                          {"1.2.4", "Banco", 1},
                                                          {"2", "PASIVO", 0}});
    db::WithTransaction(path, [&](db::Transaction& tr) { Post(tr, "1.2.3", "D", "5"); });
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(RemoveLevel(tr, "1.1"), "");
        const std::map<std::string, std::string> expected = {
            {"1", "ACTIVO"}, {"1.2", "CORRIENTE"}, {"1.3", "Caja"}, {"1.4", "Banco"},
            {"2", "PASIVO"}};
        EXPECT_EQ(Chart(tr), expected);
        EXPECT_EQ(LinesPerCode(tr).at("1.3"), 1);
    });
}

TEST(AccountChanges, RemoveLevelRefusesCollisionsAndAccountsWithLines) {
    const std::string path = MakeCompany("quitarnivelno", {{"1", "ACTIVO", 0},
                                                            {"1.1", "CORRIENTE", 0},
                                                            {"1.1.1", "Caja", 1},
                                                            {"1.2", "NO CORRIENTE", 0},
                                                            {"1.2.1", "Rodados", 1}});
    db::WithTransaction(path, [&](db::Transaction& tr) {
        const auto before = Chart(tr);
        // Without their second level, 1.1.1 and 1.2.1 would both be 1.1.
        EXPECT_EQ(RemoveLevel(tr, "1.1"),
                  "No se puede quitar el nivel: las cuentas 1.1.1 y 1.2.1 pasarían a tener el "
                  "código 1.1.");
        EXPECT_EQ(Chart(tr), before);
        Post(tr, "1.1.1", "D", "1");
        EXPECT_EQ(RemoveLevel(tr, "1.1.1"),
                  "No se puede quitar el nivel: la cuenta tiene movimientos.");
        EXPECT_EQ(Chart(tr), before);
    });
}

TEST(AccountChanges, DeleteChecksAndPartyRecord) {
    const std::string path = MakeCompany("delete", kSmallChart);
    db::WithTransaction(path, [&](db::Transaction& tr) {
        const int64_t aux = tr.insertReturningId(
            "insert into auxctas (activ) values ('000000000000') returning id");
        tr.execute("insert into cuentas (cod, cuenta, imp, clase, idaux) values (?, ?, 1, 2, ?)",
                   {ToInternalCode("1.1.2.9"), "Cliente", aux});
        EXPECT_EQ(DeleteAccount(tr, "1.1.2"), "La cuenta no se puede borrar por tener subcuentas.");
        Post(tr, "1.1.2.1", "D", "1");
        EXPECT_EQ(DeleteAccount(tr, "1.1.2.1"),
                  "La cuenta no se puede borrar por tener movimientos.");
        EXPECT_EQ(DeleteAccount(tr, "1.1.2.9"), "");
        EXPECT_FALSE(AccountExists(tr, "1.1.2.9"));
        EXPECT_EQ(tr.queryInt("select count(*) from auxctas where id = ?", {aux}), 0);
        EXPECT_EQ(DeleteAccount(tr, "4"), "");
        EXPECT_FALSE(AccountExists(tr, "4"));
    });
}

TEST(AccountChanges, ProposalsFollowTheHighestSiblingOfTheSameKind) {
    const std::string path = MakeCompany("propose", {{"1", "ACTIVO", 0},
                                                      {"1.1", "CORRIENTE", 0},
                                                      {"1.1.1", "Caja", 1, 0},
                                                      {"1.1.7", "Banco", 1, 0},
                                                      {"2", "PASIVO", 0},
                                                      {"2.1", "PROVEEDORES", 0},
                                                      {"2.1.4", "Prov A", 1, 1},
                                                      {"2.1.12", "Prov B", 1, 1}});
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(ProposeNextCode(tr, "1.1.1"), "1.1.8");
        EXPECT_EQ(ProposeNextCode(tr, "1.1"), "1.2");
        EXPECT_EQ(ProposeNextCode(tr, "1"), "3");
        EXPECT_EQ(ProposeNextCode(tr, "2.1.4"), "2.1.13");
        EXPECT_EQ(ProposePartyCode(tr, 1), "2.1.13");
        EXPECT_EQ(ProposePartyCode(tr, 2), "");
    });
}

TEST(AccountChanges, AbbreviationsInNumericAndLetterMode) {
    const std::string path = MakeCompany("tokens", {{"1", "ACTIVO", 0},
                                                     {"1.1", "Caja", 1, 0},
                                                     {"1.2", "Banco", 1, 0},
                                                     {"1.3", "Proveedor", 1, 1},
                                                     {"1.4", "Alumno", 1, 3}});
    auto tokens = [](db::Transaction& tr) {
        std::map<std::string, std::string> out;
        db::Statement s = tr.prepare("select cod, token from cuentas where imp = 1");
        s.open();
        while (s.next()) out[ToDisplayCode(s.getText("COD"))] = s.getText("TOKEN");
        return out;
    };
    db::WithTransaction(path, [&](db::Transaction& tr) {
        tr.execute("update cuentas set token = 'ZZ' where cod = ?", {ToInternalCode("1.4")});
        EXPECT_EQ(GenerateTokens(tr, TokenMode::Numeric, 1), 3);
        EXPECT_EQ(tokens(tr), (std::map<std::string, std::string>{
                                  {"1.1", "1"}, {"1.2", "2"}, {"1.3", "3"}, {"1.4", ""}}));
        tr.execute("update cuentas set token = '' where cod = ?", {ToInternalCode("1.2")});
        EXPECT_EQ(GenerateTokens(tr, TokenMode::Letter, 1), 1);  // only the empty one
        EXPECT_EQ(tokens(tr).at("1.2"), "G1");
        EXPECT_EQ(GenerateTokens(tr, TokenMode::Letter, 1, true), 3);
        EXPECT_EQ(tokens(tr), (std::map<std::string, std::string>{
                                  {"1.1", "G1"}, {"1.2", "G2"}, {"1.3", "P1"}, {"1.4", ""}}));
        EXPECT_EQ(GenerateTokens(tr, TokenMode::Numeric, 123456), 3);
        EXPECT_EQ(tokens(tr).at("1.1"), "12345"); // cut to 5 characters
    });
}

TEST(AccountChanges, AdjustmentRangeAndItsQuestion) {
    const std::string path = MakeCompany("range", kSmallChart);
    db::WithTransaction(path, [&](db::Transaction& tr) {
        EXPECT_EQ(SetAdjustmentRange(tr, "1.1", "1.1.2.1", 4), 3);
        EXPECT_EQ(FindAccount(tr, "1")->ajus, 0);
        EXPECT_EQ(FindAccount(tr, "1.1.2")->ajus, 4);
        EXPECT_EQ(FindAccount(tr, "4")->ajus, 0);
    });
    EXPECT_EQ(AdjustmentRangeQuestion(0, "1 ACTIVO", "4 RESULTADOS"),
              "Se marcarán como [No ajustable] las cuentas del rango:\n   Inicio: 1 ACTIVO\n"
              "   Fin: 4 RESULTADOS\n");
    EXPECT_EQ(AdjustmentText(2), "Ajustable por indice 2");
}

TEST(AccountLookups, NamesTokensPathsAndBounds) {
    const std::string path = MakeCompany("lookups", kSmallChart);
    db::WithTransaction(path, [&](db::Transaction& tr) {
        tr.execute("update cuentas set token = 'DEU' where cod = ?", {ToInternalCode("1.1.2.1")});
        EXPECT_EQ(AccountName(tr, "1.1"), "ACTIVO CORRIENTE");
        EXPECT_EQ(AccountName(tr, "00010001"), "ACTIVO CORRIENTE");
        EXPECT_EQ(AccountName(tr, "1.1", true), "");
        EXPECT_EQ(AccountName(tr, "1.1.2.1", true), "Deudores");
        EXPECT_EQ(AccountName(tr, "9"), "");
        const AccountRef byToken = AccountByToken(tr, "deu");
        EXPECT_EQ(byToken.code, "1.1.2.1");
        EXPECT_EQ(byToken.name, "Deudores");
        EXPECT_EQ(AccountByToken(tr, "XX").code, "");
        EXPECT_EQ(FirstImputableAccount(tr), ToInternalCode("1.1.2.1"));
        EXPECT_EQ(AccountPath(tr, "1.1.2"), "ACTIVO -> ACTIVO CORRIENTE -> (CREDITOS)");
        EXPECT_EQ(AccountPath(tr, "1"), "(ACTIVO)");
        EXPECT_EQ(AccountPath(tr, "1.1."), "ACTIVO -> (ACTIVO CORRIENTE)");
        EXPECT_EQ(AccountPath(tr, "1.7"), "ACTIVO -> ()");
        const ChartBounds b = GetChartBounds(tr);
        EXPECT_EQ(b.firstCode, "0001");
        EXPECT_EQ(b.firstName, "ACTIVO");
        EXPECT_EQ(b.lastCode, "0004");
        EXPECT_EQ(b.lastName, "RESULTADOS");
    });
}

TEST(AccountTyping, KeysAndForcedKinds) {
    struct KeyCase {
        char key;
        const char* text;
        const char* path;
        int rule;
        bool kept;
    };
    const KeyCase keys[] = {
        {'5', "1.1", "A -> (B)", 0, true},
        {'a', "1.1", "A -> (B)", 0, false},
        {'.', "1.1", "A -> (B)", 0, true},
        {'.', "1.7", "A -> ()", 0, false},      // 1.7 is not an account
        {'.', "1.", "(A)", 0, false},           // already ends in "."
        {'.', "1.1.1", "A -> B -> (C)", 3, false}, // the level rule is 3
        {'.', "1.1.1", "A -> B -> (C)", 4, true},
        {'.', "1.1.1.1.1", "A -> B -> C -> D -> (E)", 0, false}, // five levels
    };
    for (const KeyCase& k : keys)
        EXPECT_EQ(CodeKeyAccepted(k.key, k.text, k.path, k.rule), k.kept) << k.key << " " << k.text;

    struct KindCase {
        const char* code;
        int rule;
        bool current;
        bool imputable;
        bool enabled;
    };
    const KindCase kinds[] = {
        {"1.1.1.1", 4, false, true, false},
        {"1.1.1", 4, true, false, false},
        {"1.1", 0, true, false, true},
        {"1.1.1", 0, true, true, true},
        {"1.1.1", 0, false, false, true},
        {"1.1.1.1.", 0, false, true, true},
    };
    for (const KindCase& k : kinds) {
        const KindChoice c = KindForTypedCode(k.code, k.rule, k.current);
        EXPECT_EQ(c.imputable, k.imputable) << k.code;
        EXPECT_EQ(c.enabled, k.enabled) << k.code;
    }
}

TEST(AccountPermissions, LevelsOfTheChartCommands) {
    EXPECT_TRUE(UserMay(ChartAction::Create, 3));
    EXPECT_FALSE(UserMay(ChartAction::Create, 4));
    EXPECT_TRUE(UserMay(ChartAction::Change, 2));
    EXPECT_FALSE(UserMay(ChartAction::Change, 3));
    EXPECT_TRUE(UserMay(ChartAction::Delete, 1));
    EXPECT_FALSE(UserMay(ChartAction::Delete, 2));
}

TEST(StandardChart, OfferedOnceAndInstalledWithItsParties) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "standard");
    int nasiclase = db::WithTransaction(path, [](db::Transaction& tr) {
        return static_cast<int>(tr.queryInt("select nasiclase from empresa"));
    });
    ASSERT_EQ(nasiclase, 1);
    std::vector<std::string> asked;
    auto say = [&](bool answer) {
        return [&asked, answer](const std::string& q) { asked.push_back(q); return answer; };
    };
    // "No" clears the flag, in memory and in the file; the offer is not repeated.
    EXPECT_FALSE(OfferStandardChart(path, false, nasiclase, say(false)));
    EXPECT_EQ(nasiclase, 0);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked.front(), kStandardChartQuestion);
    EXPECT_FALSE(OfferStandardChart(path, false, nasiclase, say(true)));
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(db::WithTransaction(path, [](db::Transaction& tr) {
                  return tr.queryInt("select nasiclase from empresa");
              }), 0);
    // The browser's button forces it; an existing 0001 keeps its name.
    db::WithTransaction(path, [](db::Transaction& tr) {
        tr.execute("insert into cuentas (cod, cuenta) values ('0001', 'MI ACTIVO')");
    });
    EXPECT_TRUE(OfferStandardChart(path, true, nasiclase, say(true)));
    db::WithTransaction(path, [](db::Transaction& tr) {
        EXPECT_EQ(tr.queryInt("select count(*) from cuentas"), 38);
        EXPECT_EQ(AccountName(tr, "1"), "MI ACTIVO");
        EXPECT_EQ(AccountName(tr, "1.1.6.1"), "Mercaderías");
        for (const auto& [code, clase, deha] :
             {std::tuple{"1.1.8.1", 2, "CCCCCCCCCCCD"}, std::tuple{"2.1.8.1", 1, "DDDDDDDDDDDC"}}) {
            const auto a = FindAccount(tr, code);
            ASSERT_TRUE(a);
            EXPECT_EQ(a->clase, clase);
            EXPECT_TRUE(a->imputable);
            EXPECT_EQ(tr.queryText("select deha from auxctas where id = ?", {a->idaux}), deha);
            EXPECT_EQ(tr.queryText("select activ from auxctas where id = ?", {a->idaux}),
                      "000000000000");
            EXPECT_EQ(tr.queryText("select codigos from auxctas where id = ?", {a->idaux}),
                      std::string(240, ' '));
        }
    });
    // With two or more accounts there is no offer, even forced.
    EXPECT_FALSE(OfferStandardChart(path, true, nasiclase, say(true)));
    EXPECT_EQ(asked.size(), 2u);
}

TEST(StandardChart, ACompanyWithOneAccountIsStillOffered) {
    const std::string path = MakeCompany("standardone", {{"5", "UNA", 0}});
    int nasiclase = 1;
    bool asked = false;
    EXPECT_TRUE(OfferStandardChart(path, false, nasiclase, [&](const std::string&) {
        asked = true;
        return true;
    }));
    EXPECT_TRUE(asked);
}

TEST(StandardChart, TheDemoCompanyCarriesIt) {
    const std::string path = test::CopyTemplate("demo0.fdb", "demochart");
    db::WithTransaction(path, [](db::Transaction& tr) {
        EXPECT_GE(tr.queryInt("select count(*) from cuentas"), 38);
        EXPECT_EQ(AccountName(tr, "2.1.8.1"), "Proveedores Varios");
        EXPECT_EQ(FindAccount(tr, "1.1.8.1")->clase, 2);
    });
}

} // namespace
