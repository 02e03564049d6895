#pragma once
// The band layouts of the accounting reports: columns, formats and band events of each
// report, over the rows the core gathered.

#include <memory>
#include <vector>

#include "print/bandengine.h"
#include "reports/reportrows.h"

namespace kesh::print {

using Ctx = std::shared_ptr<const PrintContext>;

// The rows a layout reads: a stream being read (the report's cursor) or rows already read.
template <class Row>
struct LayoutRows {
    reports::Rows<Row> rows;
    LayoutRows(reports::Rows<Row> stream) : rows(std::move(stream)) {}
    LayoutRows(std::vector<Row> all)
        : rows(std::make_shared<reports::RowStream<Row>>(std::move(all))) {}
};

// "LIBRO DIARIO", the one-entry journal and "DIARIO RESUMIDO".
std::unique_ptr<BandLayout> JournalLayout(Ctx ctx, LayoutRows<reports::JournalRow> rows,
                                          bool sumasIguales);
// "LIBRO MAYOR".
std::unique_ptr<BandLayout> LedgerLayout(Ctx ctx, LayoutRows<reports::LedgerRow> rows,
                                         bool arrastrarSaldos, bool hojasSeparadas);
// "SUMAS Y SALDOS"; the period label shows from..to as mm/yyyy.
std::unique_ptr<BandLayout> TrialLayout(Ctx ctx, LayoutRows<reports::TrialRow> rows,
                                        Date from, Date to);
// "BALANCE": levels[1..5] are the ticked level boxes.
std::unique_ptr<BandLayout> BalanceLayout(Ctx ctx, LayoutRows<reports::AccountRow> rows,
                                          std::array<bool, 6> levels, Date from, Date to);
// "PLAN DE CUENTAS".
std::unique_ptr<BandLayout> PlanLayout(Ctx ctx, LayoutRows<reports::AccountRow> rows);
// "ANALISIS DE CUENTA".
std::unique_ptr<BandLayout> AnalysisLayout(Ctx ctx, LayoutRows<reports::AnalysisRow> rows);

// "Periodo : mm/yyyy - mm/yyyy"
std::string PeriodLabel(Date from, Date to);

} // namespace kesh::print
