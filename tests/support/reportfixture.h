#pragma once
// A small company for the report tests: a closed year 2024 (with its result-closing and
// closing entries) and an open year 2025 with an opening entry, a transfer, a sales voucher
// and a purchase voucher, on a two-level chart.
//
//   0001 ACTIVO            00010001 Caja   00010002 Banco   00010003 Clientes (clase 2)
//   0002 PASIVO Y PN       00020001 Proveedores (clase 1)   00020002 Capital
//   0003 RESULTADOS        00030001 Ventas   00030002 Gastos
//
//   2024 #1 15/03 Venta contado        Caja D 1000 / Ventas C 1000
//        #2 20/04 Pago de gastos       Gastos D 300 / Caja C 300
//        #3 31/12 Refundición          Ventas D 1000 / Gastos C 300 / Capital C 700
//        #4 31/12 Cierre               Capital D 700 / Caja C 700
//   2025 #1 01/01 Asiento de Apertura  Caja D 700 / Capital C 700      (idaux -1)
//        #2 10/01 Depósito             Banco D 500 / Caja C 500 ("deposito")
//        #3 05/02 Factura venta        Clientes D 1210 / Ventas C 1210 (clase 2)
//        #4 28/02 Factura compra       Gastos D 100 / Proveedores C 100 (clase 1)

#include <cstdint>
#include <string>

#include "app/context.h"

namespace kesh::test {

struct ReportFixture {
    std::string path;
    int year2024 = 0;
    int year2025 = 0;
    int entry2025Deposit = 0; // asientos.id of 2025 #2

    // The program's state with this company open on 2025: the whole chart and the whole year
    // as the report range, installation folder `appDir`.
    AppContext Context2025(const std::string& appDir) const;
};

ReportFixture MakeReportFixture(const std::string& name);

// `n` more entries of three lines (Gastos D, Banco D / Caja C) in the fixture's year 2025,
// dated from 01/03 over 250 days and numbered from 10: a journal and ledger of many pages.
void AddLongEntries(const std::string& path, int year2025, int n);

// Connections to the company file other than the one asking (a report's own cursor ...).
int64_t OtherAttachments(const std::string& path);
// Ends every other connection to the company file, as a lost network or a server restart
// would.
void CutOtherConnections(const std::string& path);

} // namespace kesh::test
