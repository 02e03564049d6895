#pragma once
// A small company for the entry tests: one open fiscal year (2026), a second year (2025) to
// show that operations stay inside their year, and a handful of imputable accounts.

#include <string>

#include "app/context.h"
#include "db/database.h"
#include "entries/entries.h"
#include "support/testsupport.h"

namespace kesh::test {

inline constexpr const char* kCaja = "0001000100010001";
inline constexpr const char* kBanco = "0001000100010002";
inline constexpr const char* kVentas = "0004000100010001";
inline constexpr const char* kGastos = "0005000100010001";

struct EntriesCompany {
    std::string dsn;
    FiscalYear ej;     // 2026, current
    FiscalYear other;  // 2025

    // viaServer: reached through the loopback server the test command started.
    explicit EntriesCompany(const std::string& name, bool viaServer = false) {
        std::string path = CopyTemplate("kesh0.fdb", name);
        dsn = viaServer ? ServerName(path) : path;
        db::WithTransaction(dsn, [&](db::Transaction& tr) {
            ej.id = int(tr.insertReturningId(
                "insert into ejerc (descrip, fech1, fech2) values ('Ejercicio 2026', ?, ?) returning id",
                {Date::fromYmd(2026, 1, 1), Date::fromYmd(2026, 12, 31)}));
            other.id = int(tr.insertReturningId(
                "insert into ejerc (descrip, fech1, fech2) values ('Ejercicio 2025', ?, ?) returning id",
                {Date::fromYmd(2025, 1, 1), Date::fromYmd(2025, 12, 31)}));
            for (auto [cod, name, token] : {std::tuple{kCaja, "Caja", "C1"}, {kBanco, "Banco Nación", "BN"},
                                            {kVentas, "Ventas", "V"}, {kGastos, "Gastos generales", "GG"}})
                tr.execute("insert into cuentas (cod, cuenta, token, imp) values (?, ?, ?, 1)",
                           {cod, name, token});
        });
        ej.fech1 = Date::fromYmd(2026, 1, 1);
        ej.fech2 = Date::fromYmd(2026, 12, 31);
        other.fech1 = Date::fromYmd(2025, 1, 1);
        other.fech2 = Date::fromYmd(2025, 12, 31);
    }

    // What the main window holds for this company, with an operator of the strongest level.
    AppContext Context() const {
        AppContext ctx;
        ctx.companyPath = dsn;
        ctx.currentEj = ej;
        ctx.userLevel = 0;
        return ctx;
    }

    // A balanced two-line generic entry through path A.
    entries::SaveResult Add(const FiscalYear& year, Date fecha, const std::string& descrip,
                            Amount amount = Amount::fromUnits(100)) {
        entries::GridEntry e;
        e.fecha = fecha;
        e.descrip = descrip;
        e.lines = {{kCaja, "", amount, {}}, {kVentas, "", {}, amount}};
        return entries::SaveGridEntry(dsn, year, e);
    }

    template <class T = int64_t>
    T Int(const std::string& sql, const db::Params& p = {}) {
        return T(db::WithTransaction(dsn, [&](db::Transaction& tr) { return tr.queryInt(sql, p); }));
    }
};

} // namespace kesh::test
