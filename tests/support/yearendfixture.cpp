#include "support/yearendfixture.h"

#include <stdexcept>

#include "support/testsupport.h"

namespace kesh::test {

std::ostream& operator<<(std::ostream& o, const Line& l) { return o << l.cod << " " << l.dh << " " << l.importe; }

void AddEntry(db::Transaction& tr, int year, int num, const char* isoDate, const std::vector<Line>& lines) {
    const Date date = Date::parseIso(isoDate).value();
    const int64_t id = tr.insertReturningId(
        "insert into asientos (idej, num, fecha, descrip) values (?, ?, ?, 'Movimiento') returning id",
        {year, num, date});
    int nro = 0;
    for (const auto& l : lines)
        tr.execute("insert into pases (idasi, idej, nro, cod, dh, importe, fecha) values (?, ?, ?, ?, ?, ?, ?)",
                   {id, year, ++nro, l.cod, l.dh, *Amount::parse(l.importe), date});
}

std::string YearCompany(const std::string& name) {
    const std::string dsn = CopyTemplate("kesh0.fdb", name);
    db::WithTransaction(dsn, [](db::Transaction& tr) {
        const int64_t id = tr.insertReturningId(
            "insert into ejerc (descrip, fech1, fech2) values ('Ejercicio 2026', ?, ?) returning id",
            {Date::fromYmd(2026, 1, 1), Date::fromYmd(2026, 12, 31)});
        if (id != 1) throw std::runtime_error("the template's first year is not id 1");
    });
    return dsn;
}

std::string ClosingFixtureCompany(const std::string& name) {
    const std::string dsn = YearCompany(name);
    db::WithTransaction(dsn, [](db::Transaction& tr) {
        const std::pair<const char*, int> chart[] = {
            {"0001", 0}, {"00010001", 1}, {"00010002", 1}, {"0002", 0}, {"00020001", 1},
            {"0003", 0}, {"00030001", 1}, {"00030002", 1}, {"0004", 0}, {"00040001", 1},
            {"00040002", 1}, {"00040003", 0}, {"000400030001", 1}};
        const char* names[] = {"ACTIVO", "Caja", "Banco", "PASIVO", "Proveedores", "PATRIMONIO NETO",
                               "Capital", "Resultado del ejercicio", "RESULTADOS", "Ventas", "Gastos",
                               "Otros resultados", "Intereses"};
        int i = 0;
        for (const auto& [cod, imp] : chart)
            tr.execute("insert into cuentas (cod, cuenta, imp) values (?, ?, ?)", {cod, names[i++], imp});
        AddEntry(tr, 1, 1, "2026-01-02", {{"00010001", "D", "10000.00"}, {"00030001", "C", "10000.00"}});
        AddEntry(tr, 1, 2, "2026-03-10", {{"00010001", "D", "5000.00"}, {"00040001", "C", "5000.00"}});
        AddEntry(tr, 1, 3, "2026-04-15", {{"00040002", "D", "1200.50"}, {"00010001", "C", "1200.50"}});
        AddEntry(tr, 1, 4, "2026-06-30", {{"00010002", "D", "3000.00"}, {"00020001", "C", "3000.00"}});
        AddEntry(tr, 1, 5, "2026-11-30", {{"000400030001", "D", "99.99"}, {"00010002", "C", "99.99"}});
    });
    return dsn;
}

std::map<std::string, std::string> YearBalances(const std::string& dsn, int year) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        std::map<std::string, std::string> out;
        db::Statement s = tr.prepare(
            "select cod, sum(iif(dh = 'D', importe, -importe)) as s from pases where idej = ? "
            "group by cod having sum(iif(dh = 'D', importe, -importe)) <> 0");
        s.open({year});
        while (s.next()) out[s.getText("COD")] = s.getAmount("S").toString();
        return out;
    });
}

} // namespace kesh::test
