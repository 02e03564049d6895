#pragma once
// Closing a fiscal year: the result-closing entry (refundición, pAsRefun) and the closing
// entry (cierre, pAscierre), recorded in ejerc.idrefun / ejerc.idcierre, and their removal.
//
// Everything asked in one "Aceptar" runs in one transaction, in the fixed order generate
// refundición, generate cierre, delete refundición, delete cierre. A procedure's refusal is one
// line of the report and the other steps still run; a database error rolls everything back.
// The year's closing ids are read again inside the transaction, so two users working on the
// same year cannot delete an entry the other already replaced or record a second one.

#include <string>
#include <vector>

#include "app/context.h"
#include "app/date.h"

namespace kesh::entries {

struct ClosingRequest {
    bool generateRefun = false;
    Date refunDate;
    std::string codGP;     // results group account: internal or display code
    std::string codResul;  // result account: internal or display code
    bool generateCierre = false;
    Date cierreDate;
    bool deleteRefun = false;
    bool deleteCierre = false;
};

struct ClosingOutcome {
    // The lines of the summary ("(1)El asiento de refundición ha sido creado" ...), one per
    // step that ran; empty when nothing was asked.
    std::vector<std::string> lines;
    int idrefun = 0;   // the year's ids after the operation
    int idcierre = 0;
    bool anything() const { return !lines.empty(); }
    std::string text() const;  // the lines joined by line breaks, each ending with one
};

// Runs the request for fiscal year `yearId` of company `dsn`. Throws db::DbError.
ClosingOutcome RunClosing(const std::string& dsn, int yearId, const ClosingRequest& request);

// "1.1.4    Caja": the display code padded with blanks to 10 characters (a longer code
// unchanged), a blank, the account's name ("" when no account has the code). Empty for an
// empty code.
std::string AccountLabel(const std::string& dsn, const std::string& code);

// Whether the account with this internal code is imputable (cuentas.imp = 1).
bool IsImputableAccount(const std::string& dsn, const std::string& code);

} // namespace kesh::entries
