#pragma once
// A small company for the year-end tests: one fiscal year (id 1, 2026), a chart with a
// results group below 4 and five balanced entries, so closing it has exact known results.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "db/database.h"

namespace kesh::test {

struct Line {
    std::string cod;
    std::string dh;
    std::string importe;
    bool operator==(const Line&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Line& l);

// An entry of `year` numbered `num` on `isoDate` with its lines (no fingerprint).
void AddEntry(db::Transaction& tr, int year, int num, const char* isoDate, const std::vector<Line>& lines);

// The empty company with the year 2026 (id 1).
std::string YearCompany(const std::string& name);

// YearCompany plus the chart 1 ACTIVO (1.1 Caja, 1.2 Banco), 2 PASIVO (2.1 Proveedores),
// 3 PATRIMONIO NETO (3.1 Capital, 3.2 Resultado del ejercicio), 4 RESULTADOS (4.1 Ventas,
// 4.2 Gastos, 4.3 Otros resultados > 4.3.1 Intereses) and entries 1..5 leaving
//   Caja 13799.50 D, Banco 2900.01 D, Proveedores 3000 C, Capital 10000 C,
//   Ventas 5000 C, Gastos 1200.50 D, Intereses 99.99 D (a profit of 3699.51).
std::string ClosingFixtureCompany(const std::string& name);

// Balance per account of a year (debit positive, "13799.50" / "-3000.00"), zero balances
// left out.
std::map<std::string, std::string> YearBalances(const std::string& dsn, int year);

} // namespace kesh::test
