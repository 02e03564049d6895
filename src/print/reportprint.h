#pragma once
// From a report key and its gathered rows to a laid-out document, shared by the setup screen
// and keshcli.

#include <memory>
#include <string>

#include "print/bandengine.h"
#include "reports/reportjob.h"
#include "reports/reportsettings.h"

namespace kesh::print {

struct ReportTexts {
    std::string title;
    std::string subtitle;
    std::string printedAt; // "dd/mm/yyyy  hh:mm" (used when IncFecha is set)
};

// Throws std::invalid_argument for a key without a layout.
std::unique_ptr<ReportDocument> MakeReportDocument(const std::string& key,
                                                   reports::ReportStream rows,
                                                   const AppContext& app,
                                                   const reports::ReportSettings& settings,
                                                   const ReportTexts& texts);
// The same over rows already read.
std::unique_ptr<ReportDocument> MakeReportDocument(const std::string& key,
                                                   reports::ReportRows rows,
                                                   const AppContext& app,
                                                   const reports::ReportSettings& settings,
                                                   const ReportTexts& texts);

// Now as "dd/mm/yyyy  hh:mm".
std::string PrintedAtNow();

} // namespace kesh::print
