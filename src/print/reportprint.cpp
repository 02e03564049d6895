#include "print/reportprint.h"

#include <QDateTime>

#include <stdexcept>

#include "print/layouts.h"

namespace kesh::print {

std::unique_ptr<ReportDocument> MakeReportDocument(const std::string& key,
                                                   reports::ReportStream rows,
                                                   const AppContext& app,
                                                   const reports::ReportSettings& settings,
                                                   const ReportTexts& texts) {
    auto ctx = MakePrintContext(settings, app.companyData, texts.title, texts.subtitle,
                                texts.printedAt);
    const Settings& s = app.settings;
    const ReportRange& r = app.reportRange;
    using namespace reports;
    std::unique_ptr<BandLayout> layout;
    if (auto* j = std::get_if<Rows<JournalRow>>(&rows))
        layout = JournalLayout(ctx, std::move(*j), s.DSumasIguales);
    else if (auto* l = std::get_if<Rows<LedgerRow>>(&rows))
        layout = LedgerLayout(ctx, std::move(*l), s.Marrastrasaldos, s.Mhojasseparadas);
    else if (auto* t = std::get_if<Rows<TrialRow>>(&rows))
        layout = TrialLayout(ctx, std::move(*t), r.fromDate, r.toDate);
    else if (auto* a = std::get_if<Rows<AccountRow>>(&rows)) {
        if (key == "PlandeCuentas")
            layout = PlanLayout(ctx, std::move(*a));
        else
            layout = BalanceLayout(ctx, std::move(*a), s.Bnivel, r.fromDate, r.toDate);
    } else if (auto* n = std::get_if<Rows<AnalysisRow>>(&rows))
        layout = AnalysisLayout(ctx, std::move(*n));
    if (!layout) throw std::invalid_argument("Informe sin diseño: " + key);
    return std::make_unique<ReportDocument>(ctx, std::move(layout));
}

std::unique_ptr<ReportDocument> MakeReportDocument(const std::string& key,
                                                   reports::ReportRows rows,
                                                   const AppContext& app,
                                                   const reports::ReportSettings& settings,
                                                   const ReportTexts& texts) {
    return MakeReportDocument(key, reports::StreamOf(std::move(rows)), app, settings, texts);
}

std::string PrintedAtNow() {
    return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy  HH:mm")).toStdString();
}

} // namespace kesh::print
