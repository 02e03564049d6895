// Customers and providers: the account and its auxctas row written together, the
// per-concept lists, the gross-income rate's stored form, and refusals that leave the
// database as it was.

#include <gtest/gtest.h>

#include <string>

#include "accounts/chart.h"
#include "accounts/parties.h"
#include "db/database.h"
#include "support/testsupport.h"
#include "vouchers/concepts.h"
#include "vouchers/cuit.h"
#include "vouchers/optypes.h"

namespace kesh::accounts {
namespace {

class Parties : public ::testing::Test {
protected:
    template <class F>
    auto run(F&& f) {
        return db::WithTransaction(path, std::forward<F>(f));
    }
    void SetUp() override {
        path = test::CopyTemplate(
            "kesh0.fdb",
            std::string("parties_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        // A small chart: 2 Pasivo > 2.1 Proveedores (group), 1 Activo > 1.3 Clientes,
        // and 5.1.1 an imputable expense account for the concepts.
        run([](db::Transaction& tr) {
            for (const char* cod : {"0001", "00010003", "0002", "00020001", "0005", "00050001"})
                tr.execute("insert into cuentas (cod, cuenta, imp) values (?, ?, 0)",
                           {cod, std::string("Grupo ") + cod});
            tr.execute("insert into cuentas (cod, cuenta, imp) values "
                       "('000500010001', 'Mercaderías', 1)");
            tr.execute("insert into cuentas (cod, cuenta, imp) values "
                       "('000200010099', 'IVA a pagar', 1)");
        });
    }
    int count(const char* sql) {
        return run([&](db::Transaction& tr) { return int(tr.queryInt(sql)); });
    }
    std::string path;
};

TEST_F(Parties, NewPartyDefaultSides) {
    EXPECT_EQ(FormatPartyConcepts(NewParty(kClassProvider)).deha, "DDDDDDDDDDDC");
    EXPECT_EQ(FormatPartyConcepts(NewParty(kClassCustomer)).deha, "CCCCCCCCCCCD");
}

TEST_F(Parties, NewProviderStoresAccountAndAuxRowThatReadBackAfterReopening) {
    Party p = NewParty(kClassProvider);
    p.code = "2.1.1";
    p.name = "Papelera del Sur S.R.L.";
    p.token = "papsu1";
    p.respiva = "RI";
    p.doc = "30-71548237-8";
    p.dom = "Av. Belgrano 1520";
    p.loc = "Bahía Blanca";
    p.provincia = "Buenos Aires";
    p.ibRate = 350;  // 3.5 %
    p.calc = 1;
    p.conceptAt(1).active = true;
    p.conceptAt(1).code = "5.1.1";
    p.conceptAt(12).active = true;
    p.conceptAt(12).code = "000200010099";
    p.conceptAt(5).code = "5.1.1";  // unticked: its account is not kept
    ASSERT_EQ(run([&](db::Transaction& tr) { return CreateParty(tr, p); }), "");
    EXPECT_GT(p.auxId, 0);

    run([&](db::Transaction& tr) {
        db::Statement s = tr.prepare(
            "select c.clase, c.imp, c.token, x.activ, x.deha, x.codigos, x.porib "
            "from cuentas c join auxctas x on x.id = c.idaux where c.cod = '000200010001'");
        s.open();
        ASSERT_TRUE(s.next());
        EXPECT_EQ(s.getInt("CLASE"), 1);
        EXPECT_EQ(s.getInt("IMP"), 1);
        EXPECT_EQ(s.getText("TOKEN"), "PAPSU");
        EXPECT_EQ(s.getText("ACTIV"), "100000000001");
        EXPECT_EQ(s.getText("DEHA"), "DDDDDDDDDDDC");
        const std::string codigos = s.getText("CODIGOS");
        ASSERT_EQ(codigos.size(), 240u);
        EXPECT_EQ(codigos.substr(0, 20), "000500010001        ");
        EXPECT_EQ(codigos.substr(20, 200), std::string(200, ' '));
        EXPECT_EQ(codigos.substr(220), "000200010099        ");
        EXPECT_EQ(s.getAmount("PORIB").toString(), "350.00");
    });

    const auto back = run([](db::Transaction& tr) { return LoadParty(tr, "2.1.1"); });
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, "Papelera del Sur S.R.L.");
    EXPECT_EQ(back->loc, "Bahía Blanca");
    EXPECT_EQ(back->doc, "30-71548237-8");
    EXPECT_EQ(back->ibRate, 350);
    EXPECT_EQ(back->calc, 1);
    EXPECT_EQ(back->clase, kClassProvider);
    EXPECT_TRUE(back->conceptAt(1).active);
    EXPECT_EQ(back->conceptAt(1).code, "000500010001");
    EXPECT_FALSE(back->conceptAt(5).active);
    EXPECT_EQ(back->conceptAt(5).code, "");
    EXPECT_EQ(back->conceptAt(12).side, 'C');
}

TEST_F(Parties, RefusalsLeaveTheDatabaseAsItWas) {
    Party first = NewParty(kClassCustomer);
    first.code = "1.3.1";
    first.name = "Cliente Uno";
    ASSERT_EQ(run([&](db::Transaction& tr) { return CreateParty(tr, first); }), "");
    const int aux = count("select count(*) from auxctas");
    const int accounts = count("select count(*) from cuentas");

    const struct {
        const char* code;
        bool imputable;
        const char* respiva;
        int ibRate;
        const char* message;
    } cases[] = {
        {"1.3.1", true, "CF", 0, "La Cuenta ya existe."},
        {"7.1", true, "CF", 0, "Cuenta madre 7 no existe."},
        {"5.1.1.1", true, "CF", 0, "La cuenta madre 5.1.1 no debe ser imputable."},
        {"1.3.2", false, "CF", 0, "No se puede crear una cuenta de grupo para la cuenta madre 1.3"},
        {"1.4", true, "CF", 0, "No se puede crear una cuenta imputable para la cuenta madre 1"},
        {"9", true, "CF", 0, "No se puede crear una cuenta imputable para la cuenta madre "},
        {"1.3.2", true, "XX", 0, "La responsabilidad IVA debe ser RI, MT o CF."},
        {"1.3.2", true, "MT", 10000, "La alícuota de Ingresos Brutos debe estar entre 0 y 99.99 %."},
        {"", true, "CF", 0, "Debe ingresar el código de la cuenta."},
    };
    for (const auto& c : cases) {
        Party p = NewParty(kClassCustomer);
        p.code = c.code;
        p.imputable = c.imputable;
        p.respiva = c.respiva;
        p.ibRate = c.ibRate;
        EXPECT_EQ(run([&](db::Transaction& tr) { return CreateParty(tr, p); }), c.message)
            << c.code;
    }
    EXPECT_EQ(count("select count(*) from auxctas"), aux);
    EXPECT_EQ(count("select count(*) from cuentas"), accounts);
}

TEST_F(Parties, ChangeUpdatesBothRowsAndGivesARowToAnAccountWithoutOne) {
    Party p = NewParty(kClassCustomer);
    p.code = "1.3.1";
    p.name = "Cliente Uno";
    ASSERT_EQ(run([&](db::Transaction& tr) { return CreateParty(tr, p); }), "");
    p.name = "Cliente Uno S.A.";
    p.respiva = "MT";
    p.idtipoper = 7;
    p.conceptAt(2).active = true;
    p.conceptAt(2).side = 'D';
    ASSERT_EQ(run([&](db::Transaction& tr) { return ChangeParty(tr, p); }), "");
    auto back = run([](db::Transaction& tr) { return LoadParty(tr, "0001000300010000"); });
    EXPECT_FALSE(back.has_value());  // another code
    back = run([](db::Transaction& tr) { return LoadParty(tr, "000100030001"); });
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, "Cliente Uno S.A.");
    EXPECT_EQ(back->respiva, "MT");
    EXPECT_EQ(back->idtipoper, 7);
    EXPECT_EQ(FormatPartyConcepts(*back).activ, "010000000000");
    EXPECT_EQ(FormatPartyConcepts(*back).deha, "CDCCCCCCCCCD");
    EXPECT_EQ(back->auxId, p.auxId);
    EXPECT_EQ(count("select count(*) from auxctas"), 1);

    // A customer account made as a plain account has no auxctas row: saving its data makes
    // one and links it, instead of dropping what was typed.
    run([](db::Transaction& tr) {
        tr.execute("insert into cuentas (cod, cuenta, imp, clase) values "
                   "('000100030002', 'Cliente Dos', 1, 2)");
    });
    auto two = run([](db::Transaction& tr) { return LoadParty(tr, "1.3.2"); });
    ASSERT_TRUE(two.has_value());
    EXPECT_EQ(two->auxId, 0);
    two->doc = "20-12345678-6";
    ASSERT_EQ(run([&](db::Transaction& tr) { return ChangeParty(tr, *two); }), "");
    const auto again = run([](db::Transaction& tr) { return LoadParty(tr, "1.3.2"); });
    EXPECT_GT(again->auxId, 0);
    EXPECT_EQ(again->doc, "20-12345678-6");
}

TEST_F(Parties, TotalWithoutAccountGoesToTheNewAccountAndDeletingTheAccountDeletesItsRow) {
    Party p = NewParty(kClassCustomer);
    p.code = "1.3.5";
    p.name = "Cliente Cinco";
    p.conceptAt(12).active = true;
    ASSERT_EQ(run([&](db::Transaction& tr) { return CreateParty(tr, p); }), "");
    const auto back = run([](db::Transaction& tr) { return LoadParty(tr, "1.3.5"); });
    EXPECT_EQ(back->conceptAt(12).code, "000100030005");
    EXPECT_EQ(count("select count(*) from auxctas"), 1);

    EXPECT_EQ(run([](db::Transaction& tr) { return DeleteAccount(tr, "1.3.5"); }), "");
    EXPECT_EQ(count("select count(*) from auxctas"), 0);
    EXPECT_EQ(count("select count(*) from cuentas where cod = '000100030005'"), 0);
}

// The demo company's billing setup points only at accounts of its chart that take entries,
// and its parties carry valid CUITs and operation types of their own side.
TEST(DemoBilling, ConceptAccountsExistAndPartiesAreComplete) {
    const std::string path = test::CopyTemplate("demo0.fdb", "parties_demo");
    db::WithTransaction(path, [](db::Transaction& tr) {
        for (auto side : {vouchers::VoucherSide::Purchases, vouchers::VoucherSide::Sales}) {
            const vouchers::ConceptLists lists = vouchers::ReadConceptLists(tr, side);
            const vouchers::ConceptSet set = vouchers::ParseConceptSet(lists);
            EXPECT_TRUE(set.namesValid && set.accountsValid);
            EXPECT_EQ(vouchers::FormatConceptSet(set), lists);
            for (const vouchers::Concept& c : set.concepts)
                if (!c.code.empty())
                    EXPECT_EQ(tr.queryInt("select imp from cuentas where cod = ?", {c.code}), 1)
                        << c.code;
        }
        db::Statement s = tr.prepare("select cod from cuentas where clase in (1, 2) and idaux > 0 "
                                     "and cuenta not like '%Varios'");
        s.open();
        int parties = 0;
        std::vector<std::string> codes;
        while (s.next()) codes.push_back(s.getText(0));
        for (const std::string& code : codes) {
            const auto p = LoadParty(tr, code);
            ASSERT_TRUE(p.has_value());
            ++parties;
            EXPECT_TRUE(vouchers::CuitIsValid(p->doc)) << p->name << " " << p->doc;
            EXPECT_EQ(CheckParty(*p), "");
            EXPECT_EQ(p->conceptAt(12).code, p->code);
            const char tip = p->clase == kClassProvider ? 'C' : 'V';
            EXPECT_EQ(tr.queryText("select tip from tipoper where id = ?", {p->idtipoper}),
                      std::string(1, tip));
        }
        EXPECT_EQ(parties, 6);
    });
}

TEST_F(Parties, GrossIncomeRateStoredForm) {
    EXPECT_EQ(IbRateToStoredCents(350), 35000);  // 3.5 % -> 350.00
    EXPECT_EQ(IbRateFromStored(35000), 350);     // shown again as 3.50
    EXPECT_EQ(IbRateFromStored(35049), 350);
    EXPECT_EQ(IbRateFromStored(35050), 351);
    Party p;
    ParsePartyConcepts({"11", "C", std::string(20, ' ') + "00050001"}, p);
    EXPECT_TRUE(p.conceptAt(1).active);
    EXPECT_TRUE(p.conceptAt(2).active);
    EXPECT_FALSE(p.conceptAt(3).active);  // missing positions: not included
    EXPECT_EQ(p.conceptAt(1).side, 'C');
    EXPECT_EQ(p.conceptAt(2).side, 'D');  // missing: keeps its side
    EXPECT_EQ(p.conceptAt(2).code, "00050001");
}

}  // namespace
}  // namespace kesh::accounts
