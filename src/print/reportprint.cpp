#include "print/reportprint.h"

#include <QDateTime>

#include <stdexcept>

#include "print/layouts.h"

namespace kesh::print {

std::unique_ptr<ReportDocument> MakeReportDocument(const std::string& key,
                                                   reports::ReportRows rows,
                                                   const AppContext& app,
                                                   const reports::ReportSettings& settings,
                                                   const ReportTexts& texts) {
    auto ctx = MakePrintContext(settings, app.companyData, texts.title, texts.subtitle,
                                texts.printedAt);
    const Settings& s = app.settings;
    const ReportRange& r = app.reportRange;
    std::unique_ptr<BandLayout> layout;
    if (auto* j = std::get_if<std::vector<reports::JournalRow>>(&rows))
        layout = JournalLayout(ctx, std::move(*j), s.DSumasIguales);
    else if (auto* l = std::get_if<std::vector<reports::LedgerRow>>(&rows))
        layout = LedgerLayout(ctx, std::move(*l), s.Marrastrasaldos, s.Mhojasseparadas);
    else if (auto* t = std::get_if<std::vector<reports::TrialRow>>(&rows))
        layout = TrialLayout(ctx, std::move(*t), r.fromDate, r.toDate);
    else if (auto* a = std::get_if<std::vector<reports::AccountRow>>(&rows)) {
        if (key == "PlandeCuentas")
            layout = PlanLayout(ctx, std::move(*a));
        else
            layout = BalanceLayout(ctx, std::move(*a), s.Bnivel, r.fromDate, r.toDate);
    } else if (auto* n = std::get_if<std::vector<reports::AnalysisRow>>(&rows))
        layout = AnalysisLayout(ctx, std::move(*n));
    if (!layout) throw std::invalid_argument("Informe sin diseño: " + key);
    return std::make_unique<ReportDocument>(ctx, std::move(layout));
}

std::string PrintedAtNow() {
    return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy  HH:mm")).toStdString();
}

} // namespace kesh::print
