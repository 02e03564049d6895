// A company on a Firebird server (host:path): opened, given years and changed by two
// operators at once.
#include <gtest/gtest.h>

#include <thread>

#include <algorithm>

#include "app/backup_daily.h"
#include "db/company.h"
#include "db/fiscalyears.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::db;

namespace {
class CompanyServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::ServerHost().empty()) GTEST_SKIP() << "KESH_TEST_SERVER no está definido";
        remote_ = test::ServerName(test::CopyTemplate("demo0.fdb", "empresa_servidor"));
    }
    std::string remote_;
};
} // namespace

TEST_F(CompanyServer, OpensAndChangesACompanyThroughTheServer) {
    EXPECT_TRUE(IsRemoteCompany(remote_));
    EXPECT_FALSE(TakesDailyCopy(remote_));
    CompanyState st = LoadCompanyState(remote_);
    ASSERT_FALSE(st.years.empty());
    EXPECT_FALSE(st.record.data.nombre.empty());

    CompanyData d = st.record.data;
    d.nombre = "Servidor O'Higgins";
    UpdateCompanyData(remote_, d);
    EXPECT_EQ(ReadCompanyRecord(remote_).data.nombre, "Servidor O'Higgins");
}

TEST_F(CompanyServer, TwoOperatorsAddingYearsAtOnceGetTheirOwnIds) {
    std::vector<int> a, b;
    auto add = [this](std::vector<int>& ids, const char* who) {
        for (int i = 0; i < 10; ++i) {
            Connection c = Connection::open(remote_);
            Transaction tr = c.begin();
            ids.push_back(AddFiscalYear(tr, std::string(who) + std::to_string(i),
                                        Date::fromYmd(2030 + i, 1, 1), Date::fromYmd(2030 + i, 12, 31)));
            tr.commit();
        }
    };
    std::thread t1(add, std::ref(a), "a");
    std::thread t2(add, std::ref(b), "b");
    t1.join();
    t2.join();
    std::vector<int> all = a;
    all.insert(all.end(), b.begin(), b.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
    const auto years = LoadFiscalYears(remote_);
    for (int id : all)
        EXPECT_TRUE(std::any_of(years.begin(), years.end(), [id](const FiscalYear& y) { return y.id == id; }));
}
