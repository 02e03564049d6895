// Journal entries saved by several operators at once through the loopback server.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "../core/test_entries_support.h"

using namespace kesh;
using namespace kesh::entries;
using kesh::test::EntriesCompany;
using kesh::test::kBanco;
using kesh::test::kCaja;
using kesh::test::kGastos;
using kesh::test::kVentas;

namespace {

class EntriesServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::ServerHost().empty()) GTEST_SKIP() << "KESH_TEST_SERVER no está definido";
    }
};

} // namespace

TEST_F(EntriesServer, TwoOperatorsSavingIntoOneYearGetDistinctNumbersAndTheirOwnLines) {
    EntriesCompany co("dos_operadores", /*viaServer=*/true);
    constexpr int kClients = 2, kEntries = 60;
    std::vector<std::vector<SaveResult>> saved(kClients);
    std::vector<std::string> errors(kClients);
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            try {
                for (int i = 0; i < kEntries; ++i) {
                    // Each operator's entries have their own accounts and amounts, so a line
                    // that lands on the wrong entry shows.
                    GridEntry e;
                    e.fecha = Date::fromYmd(2026, 1 + i % 12, 1 + c);
                    e.descrip = "operador " + std::to_string(c) + " asiento " + std::to_string(i);
                    Amount a = Amount::fromCents(100 * (c + 1) + i);
                    e.lines = {{c ? kGastos : kCaja, std::to_string(c), a, {}},
                               {c ? kBanco : kVentas, std::to_string(c), {}, a}};
                    SaveResult r = SaveGridEntry(co.dsn, co.ej, e);
                    if (!r.ok) throw std::runtime_error(r.message);
                    saved[c].push_back(r);
                }
            } catch (const std::exception& e) {
                errors[c] = e.what();
            }
        });
    }
    for (auto& t : threads) t.join();
    for (int c = 0; c < kClients; ++c) ASSERT_EQ(errors[c], "") << "operador " << c;

    std::set<int> numbers;
    for (const auto& list : saved)
        for (const SaveResult& r : list) numbers.insert(r.num);
    EXPECT_EQ(numbers.size(), size_t(kClients * kEntries));
    EXPECT_EQ(*numbers.begin(), 1);
    EXPECT_EQ(*numbers.rbegin(), kClients * kEntries);

    db::WithTransaction(co.dsn, [&](db::Transaction& tr) {
        EXPECT_EQ(tr.queryInt("select count(*) from (select num from asientos group by idej, num "
                              "having count(*) > 1)"),
                  0);
        // Every line carries its own operator's detail, and every fingerprint its lines.
        EXPECT_EQ(tr.queryInt("select count(*) from pases p join asientos a on a.id = p.idasi "
                              "where a.descrip not starting with 'operador ' || trim(p.detalle)"),
                  0);
        EXPECT_EQ(tr.queryInt("select count(*) from pselasimal(?, 1)", {co.ej.id}), 0);
    });
}

TEST_F(EntriesServer, OpeningTheBrowserWhileAnotherOperatorSavesSkipsRenumberingInsteadOfFailing) {
    EntriesCompany co("reenumerar_servidor", /*viaServer=*/true);
    co.Add(co.ej, Date::fromYmd(2026, 3, 1), "b");
    co.Add(co.ej, Date::fromYmd(2026, 2, 1), "a");
    db::Connection other = db::Connection::open(co.dsn);
    db::Transaction held = other.begin();
    held.queryInt("select id from ejerc where id = ? with lock", {co.ej.id});

    RenumberResult r = Renumber(co.dsn, co.ej.id, 1, true, true);
    EXPECT_TRUE(r.skipped);
    held.commit();
    r = Renumber(co.dsn, co.ej.id, 1, true, true);
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(r.count, 2);
}
