// Company files: opening data, creating from the template, the company record, recent lists,
// the file-name rule and the daily copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/backup_daily.h"
#include "app/context.h"
#include "db/company.h"
#include "db/database.h"
#include "db/fiscalyears.h"
#include "support/testsupport.h"

using namespace kesh;
using namespace kesh::db;
namespace fs = std::filesystem;

namespace {
Date D(int d, int m, int y) { return Date::fromYmd(y, m, d); }

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST(Company, FileNameRule) {
    struct Case {
        const char* name;
        const char* file;
    };
    const Case cases[] = {
        {"Perez & Hijos S.A.", "perez&hijossa"},
        {"Ñandú (Norte) #2 - 50% + IVA", "ñandú(norte)#2-50%+iva"},
        {"O'Brien/López: \"SRL\"", "obrienlópezsrl"},
        {"...", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CompanyFileName(c.name), c.file) << c.name;
    EXPECT_EQ(CompanyFilePath("/home/Ana/Datos/", "perez&hijossa"), "/home/Ana/Datos/perez&hijossa.vrn");
}

TEST(Company, CreateWritesRecordAndYearAsTyped) {
    const fs::path dir = test::ScratchDir("company_create");
    const std::string target = (dir / "nueva" / "o'hara.vrn").string();
    CompanyData d;
    d.nombre = "O'Hara & Pérez S.R.L.";
    d.domicilio = "Av. de Mayo 1'2";
    d.obs = "comillas \" y ' dentro";
    d.cuit = "30-12345678-9";
    ASSERT_EQ(CheckNewCompany(target, d, NewYear{"Ejercicio 2026", D(1, 1, 2026), D(31, 12, 2026)}), "");
    CreateCompany((test::AppDir() / "kesh0.fdb").string(), target, d,
                  NewYear{"Ejercicio 'inicial'", D(1, 1, 2026), D(31, 12, 2026)});

    const CompanyState st = LoadCompanyState(target);
    EXPECT_EQ(st.record.data.nombre, d.nombre);
    EXPECT_EQ(st.record.data.domicilio, d.domicilio);
    EXPECT_EQ(st.record.data.obs, d.obs);
    EXPECT_EQ(st.record.data.nasiclase, 1);
    ASSERT_EQ(st.years.size(), 1u);
    EXPECT_EQ(st.years[0].descrip, "Ejercicio 'inicial'");
    EXPECT_EQ(st.current.id, st.years[0].id);
    EXPECT_FALSE(st.years[0].ticked());
    EXPECT_TRUE(ShouldOfferStandardChart(st));
    // An empty year: the report period is the year's own dates.
    EXPECT_EQ(st.range.fromDate, D(1, 1, 2026));
    EXPECT_EQ(st.range.toDate, D(31, 12, 2026));
}

TEST(Company, ExistingTargetIsNeverOverwritten) {
    const fs::path dir = test::ScratchDir("company_exists");
    const std::string target = (dir / "ya.vrn").string();
    std::ofstream(target) << "datos de otra empresa";
    CompanyData d;
    d.nombre = "Otra";
    EXPECT_EQ(CheckNewCompany(target, d, std::nullopt), kCompanyFileExists);
    EXPECT_THROW(CreateCompany((test::AppDir() / "kesh0.fdb").string(), target, d, std::nullopt),
                 std::runtime_error);
    EXPECT_EQ(readAll(target), "datos de otra empresa");
}

TEST(Company, FailedCreationLeavesNoFile) {
    const fs::path dir = test::ScratchDir("company_fail");
    const std::string target = (dir / "x.vrn").string();
    CompanyData d;
    d.nombre = std::string(200, 'x'); // longer than the column: the update fails
    EXPECT_ANY_THROW(CreateCompany((test::AppDir() / "kesh0.fdb").string(), target, d, std::nullopt));
    EXPECT_FALSE(fs::exists(target));
    // A missing template creates nothing either.
    d.nombre = "Bien";
    EXPECT_THROW(CreateCompany((dir / "no-hay.fdb").string(), target, d, std::nullopt), std::runtime_error);
    EXPECT_FALSE(fs::exists(target));
}

TEST(Company, UpdateStoresQuotesAndLogoAsTyped) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "company_update");
    CompanyData d;
    d.nombre = "D'Angelo Hnos.";
    d.ciudad = "Villa Gral. Belgrano";
    d.sucursal = 7;
    d.logo = "/home/ana/logo's.png";
    d.email = "ventas@dangelo.com.ar";
    UpdateCompanyData(path, d);
    const CompanyRecord r = ReadCompanyRecord(path);
    EXPECT_EQ(r.data.nombre, d.nombre);
    EXPECT_EQ(r.data.ciudad, d.ciudad);
    EXPECT_EQ(r.data.sucursal, 7);
    EXPECT_EQ(r.data.logo, d.logo);
    EXPECT_EQ(r.data.email, d.email);
}

TEST(Company, LevelRuleFromTheChartIsStored) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "company_nivel");
    WithTransaction(path, [](Transaction& tr) {
        const char* groups[] = {"0001", "00010001", "0002", "00020001"};
        for (const char* g : groups) tr.execute("insert into cuentas (cod, cuenta, imp) values (?, 'g', 0)", {g});
        const char* leaves[] = {"000100010001", "000100010002", "000200010001"};
        for (const char* l : leaves) tr.execute("insert into cuentas (cod, cuenta, imp) values (?, 'h', 1)", {l});
        tr.execute("update empresa set nivel = 0");
    });
    EXPECT_EQ(ReadCompanyRecord(path).data.nivel, 3);
    EXPECT_EQ(WithTransaction(path, [](Transaction& tr) { return tr.queryInt("select nivel from empresa"); }), 3);
}

TEST(Company, ReportPeriodChartBoundsAndRangeClamp) {
    const std::string path = test::CopyTemplate("kesh0.fdb", "company_range");
    int y1 = 0, y2 = 0;
    WithTransaction(path, [&](Transaction& tr) {
        y1 = AddFiscalYear(tr, "2025", D(1, 1, 2025), D(31, 12, 2025));
        y2 = AddFiscalYear(tr, "2026", D(1, 1, 2026), D(31, 12, 2026));
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('0001', 'ACTIVO', 0)");
        tr.execute("insert into cuentas (cod, cuenta, imp) values ('0005', 'RESULTADOS', 0)");
        tr.execute("update empresa set desdecuenta = '0000', hastacuenta = '0009'");
        tr.execute("insert into pases (idasi, idej, cod, dh, importe, fecha) values (1, ?, '0001', 'D', 1, ?)",
                   {y1, D(5, 3, 2025)});
        tr.execute("insert into pases (idasi, idej, cod, dh, importe, fecha) values (1, ?, '0001', 'D', 1, ?)",
                   {y2, D(7, 2, 2026)});
        tr.execute("insert into pases (idasi, idej, cod, dh, importe, fecha) values (1, ?, '0001', 'D', 1, ?)",
                   {y2, D(9, 4, 2026)});
    });
    CompanyState st = LoadCompanyState(path, y2);
    EXPECT_EQ(st.current.id, y2);
    EXPECT_EQ(st.range.fromDate, D(7, 2, 2026)); // lines of the current year
    EXPECT_EQ(st.range.toDate, D(9, 4, 2026));
    EXPECT_EQ(st.range.firstCode, "0001");
    EXPECT_EQ(st.range.firstName, "ACTIVO");
    EXPECT_EQ(st.range.lastCode, "0005");
    EXPECT_EQ(st.range.fromCode, "0001"); // clamped to the chart
    EXPECT_EQ(st.range.toCode, "0005");

    SetFiscalYearActive(path, y1, true);
    SetFiscalYearActive(path, y2, true);
    st = LoadCompanyState(path, y2);
    EXPECT_EQ(st.range.fromDate, D(5, 3, 2025)); // every ticked year
    EXPECT_EQ(st.range.toDate, D(9, 4, 2026));
}

TEST(Company, RecentListsKeepTenExistingEntries) {
    const fs::path dir = test::ScratchDir("company_recent");
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i) {
        const std::string f = (dir / ("e" + std::to_string(i) + ".vrn")).string();
        if (i != 3) std::ofstream(f) << "x";
        lines.push_back(f);
    }
    const std::string list = (dir / "Locallist.ini").string();
    SaveRecentList(list, lines);
    const auto shown = ExistingLocalEntries(LoadRecentList(list));
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown[1], lines[1]);
    EXPECT_EQ(shown[2], lines[3]); // the deleted third one is left out
    EXPECT_EQ(shown[9], lines[10]);

    std::vector<std::string> remote = {"a:/x.vrn"};
    EXPECT_EQ(AddRecent(remote, "a:/x.vrn"), 0u);
    EXPECT_EQ(remote.size(), 1u);
    for (int i = 0; i < 12; ++i) AddRecent(remote, "srv" + std::to_string(i) + ":/e.vrn");
    EXPECT_EQ(remote.size(), kRecentMax);
    EXPECT_EQ(remote.front(), "srv11:/e.vrn");
    EXPECT_EQ(AddRecent(remote, "srv5:/e.vrn"), 6u); // already there: selected, not moved
}

TEST(Company, StartupFallsBackToTheDemoCompany) {
    const fs::path app = test::ScratchDir("company_startup");
    fs::copy_file(test::AppDir() / "demo0.fdb", app / "demo0.fdb");
    const std::string demo = DemoCompanyPath(app.string());
    // No Base0: the demo company is created from its template.
    EXPECT_EQ(StartupCompanyPath(app.string(), ""), demo);
    EXPECT_TRUE(fs::exists(demo));
    // A deleted local company falls back to the demo; an existing one and a server name stay.
    EXPECT_EQ(StartupCompanyPath(app.string(), (app / "borrada.vrn").string()), demo);
    const std::string mine = (app / "Datos" / "mia.vrn").string();
    fs::copy_file(demo, mine);
    EXPECT_EQ(StartupCompanyPath(app.string(), mine), mine);
    EXPECT_EQ(StartupCompanyPath(app.string(), "servidor:/srv/kesh/x.vrn"), "servidor:/srv/kesh/x.vrn");
    // Without the demo file and its template there is nothing to open.
    fs::remove(demo);
    fs::remove(app / "demo0.fdb");
    EXPECT_THROW(StartupCompanyPath(app.string(), ""), std::runtime_error);
}

TEST(DailyCopy, NameRule) {
    struct Case {
        const char* path;
        Date day;
        const char* name;
    };
    const Case cases[] = {
        {"/home/ana/Datos/demo.vrn", D(9, 12, 2026), "~home~ana~Datos~demo@vrn.9"},
        {"/d/datos/x.y.vrn", D(31, 1, 2026), "~d~datos~x@y@vrn.31"},
        {"C:\\kesh\\Datos\\demo.vrn", D(9, 12, 2026), "C$~kesh~Datos~demo@vrn.9"},
    };
    for (const Case& c : cases) EXPECT_EQ(DailyCopyName(c.path, c.day), c.name);
    EXPECT_FALSE(TakesDailyCopy("servidor:/srv/x.vrn"));
}

TEST(DailyCopy, CopyIsAWorkingDatabaseAndReplacesLastMonths) {
    const fs::path app = test::ScratchDir("daily_copy");
    const std::string company = test::CopyTemplate("demo0.fdb", "daily_company");
    WithTransaction(company, [](Transaction& tr) { tr.execute("update empresa set obs = 'antes'"); });
    const std::string first = TakeDailyCopy(app.string(), company, D(31, 1, 2026));
    ASSERT_FALSE(first.empty()); // RESPALDOS is created
    WithTransaction(company, [](Transaction& tr) { tr.execute("update empresa set obs = 'después'"); });
    const std::string second = TakeDailyCopy(app.string(), company, D(31, 3, 2026));
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadCompanyRecord(second).data.obs, "después");
    EXPECT_EQ(TakeDailyCopy(app.string(), (app / "no-existe.vrn").string(), D(1, 1, 2026)), "");
}
