#include "support/reportfixture.h"

#include <vector>

#include "app/date.h"
#include "db/database.h"
#include "support/testsupport.h"

namespace kesh::test {

namespace {
struct L {
    const char* cod;
    char dh;
    int units;
    const char* det;
};

int Entry(db::Transaction& tr, int year, int num, Date d, const char* descrip, int clase, int idaux,
          const std::vector<L>& lines) {
    int id = static_cast<int>(tr.insertReturningId(
        "insert into asientos (idej, num, fecha, descrip, clase, idaux, npas) "
        "values (?, ?, ?, ?, ?, ?, ?) returning id",
        {year, num, d, descrip, clase, idaux, static_cast<int>(lines.size())}));
    int nro = 1;
    for (const L& l : lines)
        tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha) "
                   "values (?, ?, ?, ?, ?, ?, ?, ?)",
                   {id, year, nro++, l.cod, std::string(1, l.dh), Amount::fromUnits(l.units),
                    l.det, d});
    return id;
}
} // namespace

ReportFixture MakeReportFixture(const std::string& name) {
    ReportFixture f;
    f.path = CopyTemplate("kesh0.fdb", name);
    db::WithTransaction(f.path, [&](db::Transaction& tr) {
        tr.execute("update empresa set nombre = 'Ferretería El Ñandú S.R.L.', "
                   "domicilio = 'Av. Mitre 123', codpostal = '1870', ciudad = 'Avellaneda', "
                   "cuit = '30-12345678-9', ingbrut = '901-123456-7'");
        struct A { const char* cod; const char* name; int imp; int clase; const char* token; };
        const A accounts[] = {
            {"0001", "ACTIVO", 0, 0, ""},           {"00010001", "Caja", 1, 0, "CAJA"},
            {"00010002", "Banco", 1, 0, "BCO"},     {"00010003", "Clientes", 1, 2, "C1"},
            {"0002", "PASIVO Y PN", 0, 0, ""},      {"00020001", "Proveedores", 1, 1, "P1"},
            {"00020002", "Capital", 1, 0, "CAP"},   {"0003", "RESULTADOS", 0, 0, ""},
            {"00030001", "Ventas", 1, 0, "VTA"},    {"00030002", "Gastos", 1, 0, "GTO"},
        };
        for (const A& a : accounts)
            tr.execute("insert into cuentas (cod, cuenta, imp, clase, token) values (?, ?, ?, ?, ?)",
                       {a.cod, a.name, a.imp, a.clase, a.token});
        f.year2024 = static_cast<int>(tr.insertReturningId(
            "insert into ejerc (descrip, fech1, fech2, activ) values (?, ?, ?, '-') returning id",
            {"Ejercicio 2024", Date::fromYmd(2024, 1, 1), Date::fromYmd(2024, 12, 31)}));
        f.year2025 = static_cast<int>(tr.insertReturningId(
            "insert into ejerc (descrip, fech1, fech2, activ) values (?, ?, ?, '+') returning id",
            {"Ejercicio 2025", Date::fromYmd(2025, 1, 1), Date::fromYmd(2025, 12, 31)}));
        const int y4 = f.year2024, y5 = f.year2025;
        Entry(tr, y4, 1, Date::fromYmd(2024, 3, 15), "Venta contado", 0, 0,
              {{"00010001", 'D', 1000, ""}, {"00030001", 'C', 1000, ""}});
        Entry(tr, y4, 2, Date::fromYmd(2024, 4, 20), "Pago de gastos", 0, 0,
              {{"00030002", 'D', 300, ""}, {"00010001", 'C', 300, ""}});
        int refun = Entry(tr, y4, 3, Date::fromYmd(2024, 12, 31), "Refundición", 0, 0,
                          {{"00030001", 'D', 1000, ""}, {"00030002", 'C', 300, ""},
                           {"00020002", 'C', 700, ""}});
        int cierre = Entry(tr, y4, 4, Date::fromYmd(2024, 12, 31), "Cierre", 0, 0,
                           {{"00020002", 'D', 700, ""}, {"00010001", 'C', 700, ""}});
        tr.execute("update ejerc set idrefun = ?, idcierre = ? where id = ?", {refun, cierre, y4});
        Entry(tr, y5, 1, Date::fromYmd(2025, 1, 1), "Asiento de Apertura", 0, -1,
              {{"00010001", 'D', 700, ""}, {"00020002", 'C', 700, ""}});
        f.entry2025Deposit = Entry(tr, y5, 2, Date::fromYmd(2025, 1, 10), "Depósito", 0, 0,
                                   {{"00010002", 'D', 500, "deposito"},
                                    {"00010001", 'C', 500, "deposito"}});
        Entry(tr, y5, 3, Date::fromYmd(2025, 2, 5), "Factura venta", 2, 0,
              {{"00010003", 'D', 1210, ""}, {"00030001", 'C', 1210, ""}});
        Entry(tr, y5, 4, Date::fromYmd(2025, 2, 28), "Factura compra", 1, 0,
              {{"00030002", 'D', 100, ""}, {"00020001", 'C', 100, ""}});
    });
    return f;
}

void AddLongEntries(const std::string& path, int year2025, int n) {
    db::WithTransaction(path, [&](db::Transaction& tr) {
        tr.execute(
            "execute block (y integer = ?, n integer = ?) as "
            "declare variable i integer = 0; declare variable a integer; "
            "declare variable f date; "
            "begin "
            "  while (i < n) do begin "
            "    f = dateadd(mod(i, 250) day to date '2025-03-01'); "
            "    insert into asientos (idej, num, fecha, descrip, npas) "
            "      values (:y, 10 + :i, :f, 'Asiento largo ' || :i, 3) returning id into :a; "
            "    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha) "
            "      values (:a, :y, 1, '00030002', 'D', 10 + :i, 'uno', :f); "
            "    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha) "
            "      values (:a, :y, 2, '00010002', 'D', 5, 'dos', :f); "
            "    insert into pases (idasi, idej, nro, cod, dh, importe, detalle, fecha) "
            "      values (:a, :y, 3, '00010001', 'C', 15 + :i, 'tres', :f); "
            "    i = i + 1; "
            "  end "
            "end",
            {year2025, n});
    });
}

int64_t OtherAttachments(const std::string& path) {
    return db::WithTransaction(path, [](db::Transaction& tr) {
        return tr.queryInt("select count(*) from mon$attachments "
                           "where mon$attachment_id <> current_connection and mon$system_flag = 0");
    });
}

void CutOtherConnections(const std::string& path) {
    db::WithTransaction(path, [](db::Transaction& tr) {
        tr.execute("delete from mon$attachments "
                   "where mon$attachment_id <> current_connection and mon$system_flag = 0");
    });
}

AppContext ReportFixture::Context2025(const std::string& appDir) const {
    AppContext ctx;
    ctx.appDir = appDir;
    ctx.companyPath = path;
    ctx.currentEj.id = year2025;
    ctx.currentEj.descrip = "Ejercicio 2025";
    ctx.currentEj.fech1 = Date::fromYmd(2025, 1, 1);
    ctx.currentEj.fech2 = Date::fromYmd(2025, 12, 31);
    ctx.companyData.nombre = "Ferretería El Ñandú S.R.L.";
    ctx.reportRange.fromCode = "0001";
    ctx.reportRange.toCode = "00039999";
    ctx.reportRange.fromDate = Date::fromYmd(2025, 1, 1);
    ctx.reportRange.toDate = Date::fromYmd(2025, 12, 31);
    return ctx;
}

} // namespace kesh::test
