// Customers and providers created by two users at once on a server: every account must end
// up linked to its own auxctas row (a "select max(id)" read-back would cross the links).
#include <gtest/gtest.h>

#include <thread>

#include "accounts/parties.h"
#include "db/database.h"
#include "support/testsupport.h"
#include "vouchers/optypes.h"

using namespace kesh;

namespace {

TEST(BillingServer, PartiesCreatedAtOnceKeepTheirOwnRecords) {
    if (test::ServerHost().empty()) GTEST_SKIP() << "KESH_TEST_SERVER no está definido";
    const std::string remote =
        test::ServerName(test::CopyTemplate("kesh0.fdb", "billing_server"));
    db::WithTransaction(remote, [](db::Transaction& tr) {
        for (const char* cod : {"0001", "00010001", "0002", "00020001"})
            tr.execute("insert into cuentas (cod, cuenta, imp) values (?, 'Grupo', 0)", {cod});
    });
    constexpr int kClients = 2, kParties = 25;
    std::vector<std::string> errors(kClients);
    std::vector<std::thread> threads;
    for (int c = 0; c < kClients; ++c) {
        threads.emplace_back([&, c] {
            try {
                for (int i = 1; i <= kParties; ++i) {
                    accounts::Party p = accounts::NewParty(c == 0 ? 1 : 2);
                    p.code = (c == 0 ? "2.1." : "1.1.") + std::to_string(i);
                    p.name = "Parte " + p.code;
                    p.doc = p.code;  // tells the rows apart
                    db::WithTransaction(remote, [&](db::Transaction& tr) {
                        const std::string problem = accounts::CreateParty(tr, p);
                        if (!problem.empty()) throw std::runtime_error(problem);
                        vouchers::AddOperationType(tr, c == 0 ? 'C' : 'V', "Tipo " + p.code);
                    });
                }
            } catch (const std::exception& e) {
                errors[std::size_t(c)] = e.what();
            }
        });
    }
    for (auto& t : threads) t.join();
    for (const auto& e : errors) EXPECT_EQ(e, "");
    db::WithTransaction(remote, [&](db::Transaction& tr) {
        EXPECT_EQ(tr.queryInt("select count(*) from auxctas"), kClients * kParties);
        EXPECT_EQ(tr.queryInt("select count(*) from tipoper"), kClients * kParties);
        // Each party account points at the record holding its own code.
        EXPECT_EQ(tr.queryInt("select count(*) from cuentas c join auxctas x on x.id = c.idaux "
                              "where c.clase in (1, 2) and x.doc = substring(c.cuenta from 7)"),
                  kClients * kParties);
    });
}

}  // namespace
