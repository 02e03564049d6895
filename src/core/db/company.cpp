#include "db/company.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "app/sqlhelpers.h"
#include "app/users.h"
#include "db/fiscalyears.h"

namespace fs = std::filesystem;

namespace kesh::db {
namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// Decodes one UTF-8 character at text[i] and advances i; a stray byte reads as itself.
char32_t nextChar(const std::string& text, size_t& i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (i + extra >= text.size() + (extra ? 0 : 1)) extra = 0;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += 1 + extra;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

CompanyRecord ReadCompanyRecord(Transaction& tr) {
    CompanyRecord r;
    {
        Statement s = tr.prepare(
            "select nombre, domicilio, ciudad, codpostal, telefonos, cuit, ingbrut, ganancias, obs, "
            "logo, email, nctasmode, nasimode, nasiclase, sucursal, desdecuenta, hastacuenta, "
            "desdefecha, hastafecha, nivel from empresa");
        s.open();
        if (s.next()) {
            CompanyData& d = r.data;
            d.nombre = s.getText("NOMBRE");
            d.domicilio = s.getText("DOMICILIO");
            d.ciudad = s.getText("CIUDAD");
            d.codpostal = s.getText("CODPOSTAL");
            d.telefonos = s.getText("TELEFONOS");
            d.cuit = s.getText("CUIT");
            d.ingbrut = s.getText("INGBRUT");
            d.ganancias = s.getText("GANANCIAS");
            d.obs = s.getText("OBS");
            d.logo = s.getText("LOGO");
            d.email = s.getText("EMAIL");
            d.nctasmode = static_cast<int>(s.getInt("NCTASMODE"));
            d.nasimode = static_cast<int>(s.getInt("NASIMODE"));
            d.nasiclase = static_cast<int>(s.getInt("NASICLASE"));
            d.sucursal = static_cast<int>(s.getInt("SUCURSAL"));
            d.nivel = static_cast<int>(s.getInt("NIVEL"));
            r.desdecuenta = trim(s.getText("DESDECUENTA"));
            r.hastacuenta = trim(s.getText("HASTACUENTA"));
            r.desdefecha = s.getDate("DESDEFECHA");
            r.hastafecha = s.getDate("HASTAFECHA");
        }
    }
    if (r.data.nivel == 0) {
        const int found = static_cast<int>(tr.queryInt("select nivel from pGetNivel"));
        if (found >= 3 && found <= 5) {
            r.data.nivel = found;
            tr.execute("update empresa set nivel = ?", {found});
        }
    }
    return r;
}

CompanyRecord ReadCompanyRecord(const std::string& dsn) {
    return WithTransaction(dsn, [](Transaction& tr) { return ReadCompanyRecord(tr); });
}

ReportRange ComputeReportRange(Transaction& tr, const CompanyRecord& record,
                               const FiscalYear& current, bool anyTicked) {
    ReportRange rr;
    Date maxDate, minDate;
    {
        Statement s = anyTicked
            ? tr.prepare("select max(p.fecha) as maxf, min(p.fecha) as minf from pases p "
                         "join ejerc e on p.idej = e.id where e.activ = '+'")
            : tr.prepare("select max(fecha) as maxf, min(fecha) as minf from pases where idej = ?");
        anyTicked ? s.open() : s.open({current.id});
        if (s.next()) {
            maxDate = s.getDate("MAXF");
            minDate = s.getDate("MINF");
        }
    }
    if (!maxDate.isZero() && !minDate.isZero() && maxDate > Date() && minDate > Date()) {
        rr.fromDate = minDate;
        rr.toDate = maxDate;
    } else {
        rr.fromDate = current.fech1;
        rr.toDate = current.fech2;
    }

    rr.lastCode = trim(tr.queryText("select max(cod) from cuentas"));
    rr.lastName = tr.queryText("select cuenta from cuentas where cod = ?", {rr.lastCode});
    rr.firstCode = trim(tr.queryText("select min(cod) from cuentas"));
    rr.firstName = tr.queryText("select cuenta from cuentas where cod = ?", {rr.firstCode});

    rr.fromCode = record.desdecuenta < rr.firstCode ? rr.firstCode : record.desdecuenta;
    rr.toCode = record.hastacuenta > rr.lastCode ? rr.lastCode : record.hastacuenta;
    return rr;
}

CompanyState LoadCompanyState(const std::string& dsn, int currentId) {
    return WithTransaction(dsn, [&](Transaction& tr) {
        CompanyState st;
        st.years = LoadFiscalYears(tr);
        st.record = ReadCompanyRecord(tr);
        bool anyTicked = false;
        for (const FiscalYear& y : st.years) {
            anyTicked = anyTicked || y.ticked();
            if (y.id == currentId) st.current = y;
        }
        if (st.current.id == 0 && !st.years.empty()) st.current = st.years.front();
        st.range = ComputeReportRange(tr, st.record, st.current, anyTicked);
        st.accountCount = static_cast<int>(tr.queryInt("select count(id) from cuentas"));
        return st;
    });
}

std::string StartupCompanyPath(const std::string& appDir, const std::string& base0) {
    std::error_code ec;
    fs::create_directories(DataDir(appDir), ec);
    if (ec) throw std::runtime_error("No se puede crear la carpeta " + DataDir(appDir) + ": " + ec.message());
    if (!base0.empty() && (IsRemoteCompany(base0) || fs::is_regular_file(base0, ec))) return base0;
    const std::string demo = DemoCompanyPath(appDir);
    if (!fs::is_regular_file(demo, ec)) {
        if (!fs::is_regular_file(DemoTemplatePath(appDir), ec))
            throw std::runtime_error("No se encuentra la empresa de demostración " + DemoTemplatePath(appDir));
        CopyFileStream(DemoTemplatePath(appDir), demo);
    }
    return demo;
}

bool ShouldOfferStandardChart(const CompanyState& s) {
    return s.accountCount < 2 && s.record.data.nasiclase == 1;
}

// ---- new company ------------------------------------------------------------------------

std::string CheckNewCompany(const std::string& targetPath, const CompanyData& data,
                            const std::optional<NewYear>& year) {
    if (trim(data.nombre).empty()) return "Debe ingresar el nombre de la empresa.";
    const fs::path p(targetPath);
    if (p.stem().empty() || p.stem() == ".vrn") return "Debe ingresar el nombre del archivo.";
    std::error_code ec;
    if (fs::exists(p, ec)) return kCompanyFileExists;
    if (year) {
        if (trim(year->descrip).empty()) return "Debe asignar un nombre al ejercicio";
        if (year->fech1.isZero() || year->fech2.isZero()) return "Las fechas del ejercicio no son válidas.";
    }
    return {};
}

void CreateCompany(const std::string& templatePath, const std::string& targetPath,
                   const CompanyData& data, const std::optional<NewYear>& year) {
    std::error_code ec;
    if (fs::exists(targetPath, ec)) throw std::runtime_error(kCompanyFileExists);
    if (!fs::is_regular_file(templatePath, ec))
        throw std::runtime_error("No se encuentra la plantilla de empresa " + templatePath);
    const fs::path folder = fs::path(targetPath).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);

    // Claim the name first with an exclusive create, so two programs creating the same
    // company at once cannot both copy over it.
    {
        std::FILE* f = std::fopen(targetPath.c_str(), "wx");
        if (!f) {
            if (fs::exists(targetPath, ec)) throw std::runtime_error(kCompanyFileExists);
            throw std::runtime_error("No se puede crear el archivo " + targetPath);
        }
        std::fclose(f);
    }
    try {
        CopyFileStream(templatePath, targetPath);
        WithTransaction(targetPath, [&](Transaction& tr) {
            tr.execute("update empresa set nombre = ?, domicilio = ?, ciudad = ?, codpostal = ?, "
                       "telefonos = ?, email = ?, cuit = ?, ingbrut = ?, ganancias = ?, obs = ?, "
                       "logo = ?, sucursal = ?, nasiclase = 1",
                       {data.nombre, data.domicilio, data.ciudad, data.codpostal, data.telefonos,
                        data.email, data.cuit, data.ingbrut, data.ganancias, data.obs, data.logo,
                        data.sucursal});
            if (year) AddFiscalYear(tr, year->descrip, year->fech1, year->fech2);
        });
    } catch (...) {
        fs::remove(targetPath, ec);
        throw;
    }
}

void UpdateCompanyData(Transaction& tr, const CompanyData& d) {
    tr.execute("update empresa set nombre = ?, domicilio = ?, ciudad = ?, sucursal = ?, "
               "codpostal = ?, telefonos = ?, email = ?, cuit = ?, ingbrut = ?, ganancias = ?, "
               "obs = ?, logo = ?",
               {d.nombre, d.domicilio, d.ciudad, d.sucursal, d.codpostal, d.telefonos, d.email,
                d.cuit, d.ingbrut, d.ganancias, d.obs, d.logo});
}

void UpdateCompanyData(const std::string& dsn, const CompanyData& data) {
    WithTransaction(dsn, [&](Transaction& tr) { UpdateCompanyData(tr, data); });
}

bool IsFileNameChar(char32_t c) {
    if (c == '\t') return true;
    if (c >= '0' && c <= '9') return true;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    if (c >= 192 && c <= 255) return true;
    switch (c) {
    case '#': case '$': case '%': case '&': case '(': case ')': case '*': case '+': case '-':
        return true;
    default:
        return false;
    }
}

std::string CompanyFileName(const std::string& companyName) {
    std::string out;
    for (size_t i = 0; i < companyName.size();) {
        const char32_t c = nextChar(companyName, i);
        if (IsFileNameChar(c)) appendUtf8(out, c);
    }
    return LowerText(out);
}

std::string CompanyFilePath(const std::string& folder, const std::string& fileName) {
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    return f + "/" + LowerText(fileName) + ".vrn";
}

// ---- recent companies -------------------------------------------------------------------

std::vector<std::string> LoadRecentList(const std::string& path) {
    std::vector<std::string> list;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trim(line);
        if (!line.empty()) list.push_back(line);
    }
    return list;
}

void SaveRecentList(const std::string& path, const std::vector<std::string>& list) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        for (const std::string& s : list) out << s << "\n";
        if (!out) throw std::runtime_error("No se puede escribir " + path);
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) throw std::runtime_error("No se puede escribir " + path + ": " + ec.message());
}

std::vector<std::string> ExistingLocalEntries(const std::vector<std::string>& list) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const std::string& s : list) {
        if (out.size() >= kRecentMax) break;
        if (!IsRemoteCompany(s) && fs::is_regular_file(s, ec)) out.push_back(s);
    }
    return out;
}

size_t AddRecent(std::vector<std::string>& list, const std::string& name) {
    const std::string entry = trim(name);
    auto it = std::find(list.begin(), list.end(), entry);
    if (it != list.end()) return static_cast<size_t>(it - list.begin());
    if (list.size() >= kRecentMax) list.resize(kRecentMax - 1);
    list.insert(list.begin(), entry);
    return 0;
}

void PrependToLocalList(const std::string& path, const std::string& companyPath) {
    std::vector<std::string> list = LoadRecentList(path);
    list.insert(list.begin(), companyPath);
    SaveRecentList(path, list);
}

bool IsRemoteCompany(const std::string& companyPath) {
    return Connection::isRemoteName(companyPath);
}

// ---- check ------------------------------------------------------------------------------

CompanySummary SummarizeCompany(const std::string& dsn) {
    static const char* const kTables[] = {"ejerc", "cuentas", "asientos", "pases", "auxasi",
                                          "auxctas", "tipoper", "tipasi", "indices", "DefQuery"};
    return WithTransaction(dsn, [](Transaction& tr) {
        CompanySummary s;
        s.schemaVersion = static_cast<int>(tr.queryInt("select max(version) from kesh_schema"));
        for (const char* t : kTables)
            s.tableRows.emplace_back(t, tr.queryInt(std::string("select count(*) from ") + t));
        return s;
    });
}

} // namespace kesh::db
