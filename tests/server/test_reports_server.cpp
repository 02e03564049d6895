// A report read through the server while its pages are laid out: the same rows as read at
// once, its attachment gone as soon as the report is dropped, and a Spanish message when the
// server ends the attachment half way (the client had only part of the rows).
#include <gtest/gtest.h>

#include "reports/reportjob.h"
#include "support/reportfixture.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::reports;

namespace {
constexpr size_t kJournalRows = 8 + 3 * 2000; // the fixture's year 2025 and the long entries

class ReportsServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::ServerHost().empty()) GTEST_SKIP() << "KESH_TEST_SERVER no está definido";
        fx_ = test::MakeReportFixture("informes_servidor");
        // Several times the rows the client fetches in one network batch.
        test::AddLongEntries(fx_.path, fx_.year2025, 2000);
        remote_ = test::ServerName(fx_.path);
        ctx_.currentEj.id = fx_.year2025;
        ctx_.reportRange.fromCode = "0001";
        ctx_.reportRange.toCode = "00039999";
        ctx_.reportRange.fromDate = Date::fromYmd(2025, 1, 1);
        ctx_.reportRange.toDate = Date::fromYmd(2025, 12, 31);
        ctx_.settings.MTotMes = true;
    }
    test::ReportFixture fx_;
    std::string remote_;
    AppContext ctx_;
};
} // namespace

TEST_F(ReportsServer, StreamedRowsAreTheRowsReadAtOnceAndDroppingFreesTheAttachment) {
    for (const char* key : {"Diario", "Mayor"}) {
        const size_t all = RowCount(db::WithTransaction(remote_, [&](db::Transaction& tr) {
            return GatherReport(tr, key, ctx_, {});
        }));
        if (std::string(key) == "Diario") EXPECT_EQ(all, kJournalRows);
        ReportStream stream = OpenReportStream(remote_, key, ctx_, {});
        std::visit(
            [&](auto& rows) {
                ASSERT_TRUE(rows->has(0));
                EXPECT_EQ(test::OtherAttachments(remote_), 1) << key;
                EXPECT_TRUE(rows->has(all - 1)) << key;
                EXPECT_FALSE(rows->has(all)) << key;
            },
            stream);
        EXPECT_EQ(test::OtherAttachments(remote_), 0) << key << ": closed after the last row";
    }
    {
        ReportStream half = OpenReportStream(remote_, "Diario", ctx_, {});
        ASSERT_TRUE(std::get<Rows<JournalRow>>(half)->has(10));
    }
    EXPECT_EQ(test::OtherAttachments(remote_), 0);
}

TEST_F(ReportsServer, AnAttachmentEndedByTheServerHalfWayIsASpanishError) {
    ReportStream stream = OpenReportStream(remote_, "Diario", ctx_, {});
    auto& rows = std::get<Rows<JournalRow>>(stream);
    ASSERT_TRUE(rows->has(0));
    test::CutOtherConnections(remote_);
    // The rows the client already holds still come; the end of the report never does.
    EXPECT_THROW(rows->has(kJournalRows - 1), ReadError);
    EXPECT_LT(rows->read(), kJournalRows);
    EXPECT_EQ(rows->error(),
              "No se pudo terminar de leer el informe: se perdió la conexión con la base de datos.");
    EXPECT_EQ(test::OtherAttachments(remote_), 0);
}
