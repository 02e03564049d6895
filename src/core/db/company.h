#pragma once
// Company files: reading what the main window shows for an open company, creating a new
// company from the empty template, changing the company record, the lists of recently
// opened companies, and the file-name rule of the new-company dialog.

#include <optional>
#include <string>
#include <vector>

#include "app/context.h"
#include "db/database.h"

namespace kesh::db {

// The empresa row as stored, with the account range and report period kept in it.
struct CompanyRecord {
    CompanyData data;
    std::string desdecuenta;
    std::string hastacuenta;
    Date desdefecha;
    Date hastafecha;
};

// Reads the company record. When its level rule (nivel) is 0 and pGetNivel finds 3, 4 or 5,
// that value becomes the rule and is stored.
CompanyRecord ReadCompanyRecord(Transaction& tr);
CompanyRecord ReadCompanyRecord(const std::string& dsn);

// The report period: the span of the lines of every ticked year when any year is ticked,
// else of the current year's lines; the current year's own dates when those lines give none.
// The chart bounds (first and last code with their names) and the account range of the
// record clamped to them.
ReportRange ComputeReportRange(Transaction& tr, const CompanyRecord& record,
                               const FiscalYear& current, bool anyTicked);

// Everything OpenCompany loads without touching a screen.
struct CompanyState {
    std::vector<FiscalYear> years;
    CompanyRecord record;
    FiscalYear current;        // id 0 when the company has no year
    ReportRange range;
    int accountCount = 0;      // the standard chart is offered below 2 accounts
};
// `currentId` is the year to make current (the first one when 0 or missing).
CompanyState LoadCompanyState(const std::string& dsn, int currentId = 0);

// The company to open at start: base0 when it names an existing local file or a company on
// a server; otherwise the demo company AppDir/Datos/demo.vrn, copied from demo0.fdb when
// missing. Creates AppDir/Datos. Throws std::runtime_error when the demo template is missing.
std::string StartupCompanyPath(const std::string& appDir, const std::string& base0);

// Whether the standard chart should be offered (fewer than 2 accounts and nasiclase = 1).
bool ShouldOfferStandardChart(const CompanyState& s);

// ---- new company ----------------------------------------------------------------------

struct NewYear {
    std::string descrip;
    Date fech1;
    Date fech2;
};

inline constexpr const char* kCompanyFileExists =
    "Ya existe un archivo con ese nombre. Elija otro nombre de archivo o otra carpeta: "
    "la empresa existente no se reemplaza.";

// Checks what the new-company dialog collected; "" when it may go ahead.
std::string CheckNewCompany(const std::string& targetPath, const CompanyData& data,
                            const std::optional<NewYear>& year);
// Copies the template to targetPath (which must not exist), writes the company row
// (nasiclase = 1) and, when given, the first fiscal year, in one transaction. On any failure
// the new file is removed and the error propagates: nothing half-made stays behind.
// Throws std::runtime_error with a Spanish message, or DbError.
void CreateCompany(const std::string& templatePath, const std::string& targetPath,
                   const CompanyData& data, const std::optional<NewYear>& year);

// Stores the fields of the "Modificar Datos de la Empresa" dialog (texts as typed).
void UpdateCompanyData(Transaction& tr, const CompanyData& data);
void UpdateCompanyData(const std::string& dsn, const CompanyData& data);

// The characters a company file name may hold: tab # $ % & ( ) * + - digits, A-Z, a-z and
// the letters U+00C0..U+00FF.
bool IsFileNameChar(char32_t c);
// The company name reduced to those characters, in lower case ("Perez & Hijos S.A." gives
// "perez&hijossa").
std::string CompanyFileName(const std::string& companyName);
// folder + "/" + file + ".vrn" with the file name in lower case (the folder keeps its case:
// paths here are case-sensitive).
std::string CompanyFilePath(const std::string& folder, const std::string& fileName);

// ---- recent companies (Locallist.ini, Remotelist.ini) ---------------------------------

inline constexpr size_t kRecentMax = 10;

// One database name per line, in file order; a missing file gives an empty list.
std::vector<std::string> LoadRecentList(const std::string& path);
void SaveRecentList(const std::string& path, const std::vector<std::string>& list);
// The first kRecentMax entries that name existing files (the local tab shows only those).
std::vector<std::string> ExistingLocalEntries(const std::vector<std::string>& list);
// Selects name when the list already holds it (exact comparison: file names here are
// case-sensitive, so the name is kept as typed), else inserts it at the top (keeping at most
// kRecentMax). Returns the index of the entry to select.
size_t AddRecent(std::vector<std::string>& list, const std::string& name);
// After a company is created: its path becomes the first line of the local list.
void PrependToLocalList(const std::string& path, const std::string& companyPath);

// Whether a database name is reached through a server (host:path) rather than as a file.
bool IsRemoteCompany(const std::string& companyPath);

// ---- keshcli check --------------------------------------------------------------------

struct CompanySummary {
    int schemaVersion = 0;
    std::vector<std::pair<std::string, int64_t>> tableRows; // main tables in a fixed order
};
CompanySummary SummarizeCompany(const std::string& dsn);

} // namespace kesh::db
