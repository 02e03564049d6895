// Operation types: the two lists, deletion while in use, the description lookup and the
// process that gives stored vouchers their party's default type.

#include <gtest/gtest.h>

#include <string>

#include "db/database.h"
#include "support/testsupport.h"
#include "vouchers/optypes.h"

namespace kesh::vouchers {
namespace {

class OpTypes : public ::testing::Test {
protected:
    void SetUp() override {
        path = test::CopyTemplate("kesh0.fdb", std::string("optypes_") +
                                                  ::testing::UnitTest::GetInstance()
                                                      ->current_test_info()
                                                      ->name());
    }
    template <class F>
    auto run(F&& f) {
        return db::WithTransaction(path, std::forward<F>(f));
    }
    int add(char tip, const std::string& text) {
        return run([&](db::Transaction& tr) {
            int id = 0;
            EXPECT_EQ(AddOperationType(tr, tip, text, &id), "");
            return id;
        });
    }
    std::string path;
};

TEST_F(OpTypes, EachSideListsOnlyItsOwnTypesInDescriptionOrder) {
    add('C', "Servicios");
    add('C', "Bienes de uso");
    add('V', "Servicios");  // the same description on the other side is another type
    run([](db::Transaction& tr) {
        const auto c = ListOperationTypes(tr, 'C');
        ASSERT_EQ(c.size(), 2u);
        EXPECT_EQ(c[0].descrip, "Bienes de uso");
        EXPECT_EQ(c[1].descrip, "Servicios");
        const auto v = ListOperationTypes(tr, 'V');
        ASSERT_EQ(v.size(), 1u);
        EXPECT_EQ(v[0].tip, 'V');
        EXPECT_NE(v[0].id, c[1].id);
    });
}

TEST_F(OpTypes, DescriptionIsStoredAsTypedCutTo60) {
    const int quote = add('C', "  Compras d'importación  ");
    const int longer = add('V', std::string(70, 'x'));
    run([&](db::Transaction& tr) {
        EXPECT_EQ(OperationTypeDescription(tr, quote), "Compras d'importación");
        EXPECT_EQ(OperationTypeDescription(tr, longer), std::string(60, 'x'));
        EXPECT_EQ(AddOperationType(tr, 'C', "   "),
                  "Debe ingresar la descripción del Tipo de Operación.");
        EXPECT_EQ(ChangeOperationType(tr, quote, "Importaciones"), "");
        EXPECT_EQ(OperationTypeDescription(tr, quote), "Importaciones");
        EXPECT_EQ(ListOperationTypes(tr, 'C').size(), 1u);
    });
    EXPECT_EQ(OperationTypeDescription(path, 0), "No definido");
    EXPECT_EQ(OperationTypeDescription(path, 999), "");  // a row that is gone
}

TEST_F(OpTypes, DeleteIsRefusedWhileAVoucherUsesTheType) {
    const int used = add('C', "Servicios");
    const int unused = add('C', "Varios");
    run([&](db::Transaction& tr) {
        tr.execute("insert into auxasi (codprov, idtipop) values ('0002000100010001', ?)",
                   {used});
        tr.execute("insert into auxctas (idtipoper) values (?)", {unused});
    });
    run([&](db::Transaction& tr) {
        EXPECT_EQ(DeleteOperationType(tr, used),
                  "No se puede borrar por existir comprobantes que que lo utilizan.");
        EXPECT_EQ(DeleteOperationType(tr, unused), "");
    });
    run([&](db::Transaction& tr) {
        const auto c = ListOperationTypes(tr, 'C');
        ASSERT_EQ(c.size(), 1u);
        EXPECT_EQ(c[0].id, used);
        // The party that had the deleted type as default now has none, not a dangling id.
        EXPECT_EQ(tr.queryInt("select count(*) from auxctas where idtipoper = ?", {unused}), 0);
    });
}

TEST_F(OpTypes, AssignGivesUntypedVouchersTheirPartysDefault) {
    const int services = add('C', "Servicios");
    const int goods = add('C', "Bienes");
    run([&](db::Transaction& tr) {
        const auto withDefault = tr.insertReturningId(
            "insert into auxctas (idtipoper) values (?) returning id", {services});
        const auto noDefault =
            tr.insertReturningId("insert into auxctas (idtipoper) values (0) returning id");
        tr.execute("insert into cuentas (cod, cuenta, imp, clase, idaux) values "
                   "('00020001', 'Proveedor A', 1, 1, ?)", {withDefault});
        tr.execute("insert into cuentas (cod, cuenta, imp, clase, idaux) values "
                   "('00020002', 'Proveedor B', 1, 1, ?)", {noDefault});
        tr.execute("insert into cuentas (cod, cuenta, imp, clase, idaux) values "
                   "('00020003', 'Proveedor C', 1, 1, 0)");
        // id 1: untyped, party with default -> typed; id 2: already typed -> kept;
        // 3: party without default; 4: party without auxctas row; 5: unknown party.
        for (const auto& [cod, type] :
             {std::pair<const char*, int>{"00020001", 0}, {"00020001", goods}, {"00020002", 0},
              {"00020003", 0}, {"00029999", 0}})
            tr.execute("insert into auxasi (codprov, idtipop) values (?, ?)", {cod, type});
    });
    EXPECT_EQ(AssignOperationTypes(path), 1);
    run([&](db::Transaction& tr) {
        db::Statement s = tr.prepare("select codprov, idtipop from auxasi order by id");
        s.open();
        std::vector<int> types;
        while (s.next()) types.push_back(int(s.getInt("IDTIPOP")));
        EXPECT_EQ(types, (std::vector<int>{services, goods, 0, 0, 0}));
    });
    EXPECT_EQ(AssignOperationTypes(path), 0);  // nothing left to do
}

}  // namespace
}  // namespace kesh::vouchers
