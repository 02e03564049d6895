#include "db/fiscalyears.h"

#include <cctype>

#include "app/sqlhelpers.h"

namespace kesh::db {
namespace {

constexpr const char* kSelectYears =
    "select id, fech1, fech2, descrip, activ, suc, ultfac, idrefun, idcierre from ejerc";

std::string trim(std::string s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

FiscalYear readYear(const Statement& s) {
    FiscalYear y;
    y.id = static_cast<int>(s.getInt("ID"));
    y.fech1 = s.getDate("FECH1");
    y.fech2 = s.getDate("FECH2");
    y.descrip = s.getText("DESCRIP");
    y.activ = trim(s.getText("ACTIV")) == "+" ? '+' : '-';
    y.suc = static_cast<int>(s.getInt("SUC"));
    y.ultfac = static_cast<int>(s.getInt("ULTFAC"));
    y.idrefun = static_cast<int>(s.getInt("IDREFUN"));
    y.idcierre = static_cast<int>(s.getInt("IDCIERRE"));
    return y;
}

} // namespace

std::vector<FiscalYear> LoadFiscalYears(Transaction& tr) {
    std::vector<FiscalYear> out;
    Statement s = tr.prepare(std::string(kSelectYears) + " order by id");
    s.open();
    while (s.next()) out.push_back(readYear(s));
    return out;
}

std::vector<FiscalYear> LoadFiscalYears(const std::string& dsn) {
    return WithTransaction(dsn, [](Transaction& tr) { return LoadFiscalYears(tr); });
}

std::optional<FiscalYear> ReadFiscalYear(Transaction& tr, int id) {
    Statement s = tr.prepare(std::string(kSelectYears) + " where id = ?");
    s.open({id});
    if (!s.next()) return std::nullopt;
    return readYear(s);
}

std::optional<FiscalYear> ReadFiscalYear(const std::string& dsn, int id) {
    return WithTransaction(dsn, [id](Transaction& tr) { return ReadFiscalYear(tr, id); });
}

std::string FiscalYearItemText(const FiscalYear& y) {
    std::string t = std::to_string(y.id) + ". " + MonthLabel(y.fech1) + " - " + MonthLabel(y.fech2) + " ";
    t += y.idrefun >= 1 ? '!' : ' ';
    t += y.idcierre >= 1 ? '#' : ' ';
    t += ' ';
    t += y.descrip;
    return t;
}

int FiscalYearItemId(const std::string& itemText) {
    std::string t = trim(itemText);
    int id = 0;
    for (char c : t) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        if (id > 100000000) break;
        id = id * 10 + (c - '0');
    }
    return id;
}

std::vector<std::string> FiscalYearWarnings(const FiscalYear& y, Date today) {
    std::vector<std::string> w;
    if (y.fech1 < today.addDays(-7200) || y.fech1 > today.addDays(400))
        w.push_back("Por favor verifique la fecha de Inicio de Ejercicio.");
    if (y.fech2 < today.addDays(-7200) || y.fech2 > today.addDays(3600))
        w.push_back("Por favor verifique la fecha de Fin de Ejercicio");
    if (y.fech2 < y.fech1)
        w.push_back("Por favor Verifique Las fechas del Ejercicio. La fecha de Inicio debe ser menor "
                    "que la fecha de Fin de Ejercicio.");
    return w;
}

void SetFiscalYearActive(Transaction& tr, int id, bool ticked) {
    tr.execute("update ejerc set activ = ? where id = ?", {ticked ? "+" : "-", id});
}

void SetFiscalYearActive(const std::string& dsn, int id, bool ticked) {
    WithTransaction(dsn, [&](Transaction& tr) { SetFiscalYearActive(tr, id, ticked); });
}

std::pair<Date, Date> DefaultNewYearDates(const FiscalYear& current, Date today) {
    if (current.id == 0) {
        int year = today.year() + (today.month() > 7 ? 1 : 0);
        return {Date::fromYmd(year, 1, 1), Date::fromYmd(year, 12, 31)};
    }
    const Date start = current.fech2.addDays(1);
    if (!Date::isValidYmd(start.year() + 1, start.month(), start.day())) return {today, today};
    return {start, Date::fromYmd(start.year() + 1, start.month(), start.day()).addDays(-1)};
}

std::string CheckFiscalYearInput(const std::string& descrip) {
    return trim(descrip).empty() ? "Debe asignar un nombre al ejercicio" : "";
}

int AddFiscalYear(Transaction& tr, const std::string& descrip, Date fech1, Date fech2,
                  int openingFromClosingEntry) {
    const int id = static_cast<int>(tr.insertReturningId(
        "insert into ejerc (activ, descrip, fech1, fech2) values ('-', ?, ?, ?) returning id",
        {descrip, fech1, fech2}));
    if (openingFromClosingEntry != 0) GenerateOpeningEntry(tr, id, fech1, openingFromClosingEntry);
    return id;
}

void ChangeFiscalYear(Transaction& tr, int id, const std::string& descrip, Date fech1, Date fech2) {
    tr.execute("update ejerc set descrip = ?, fech1 = ?, fech2 = ? where id = ?",
               {descrip, fech1, fech2, id});
}

int CountEntries(Transaction& tr, int yearId) {
    return static_cast<int>(tr.queryInt("select count(id) from asientos where idej = ?", {yearId}));
}

bool DeleteFiscalYear(Transaction& tr, int id) {
    if (CountEntries(tr, id) > 0) return false;
    tr.execute("delete from ejerc where id = ?", {id});
    return true;
}

bool HasOpeningEntry(Transaction& tr, int yearId) {
    return tr.queryInt("select count(id) from asientos where idej = ? and idaux = -1", {yearId}) > 0;
}

bool HasOpeningEntry(const std::string& dsn, int yearId) {
    return WithTransaction(dsn, [yearId](Transaction& tr) { return HasOpeningEntry(tr, yearId); });
}

int GenerateOpeningEntry(Transaction& tr, int newYearId, Date start, int closingEntryId) {
    const int entryId = static_cast<int>(tr.insertReturningId(
        "insert into asientos (idaux, idej, idtip, clase, num, fecha, descrip) "
        "values (-1, ?, 0, 0, 1, ?, 'Asiento de Apertura') returning id",
        {newYearId, start}));
    struct Line {
        std::string cod;
        std::string dh;
        Amount importe;
    };
    std::vector<Line> lines;
    {
        Statement s = tr.prepare("select cod, dh, importe from pases where idasi = ? order by id");
        s.open({closingEntryId});
        while (s.next()) lines.push_back({s.getText("COD"), trim(s.getText("DH")), s.getAmount("IMPORTE")});
    }
    Statement ins = tr.prepare(
        "insert into pases (cod, idasi, idej, nconcep, fecha, detalle, dh, importe) "
        "values (?, ?, ?, -1, ?, '', ?, ?)");
    for (const Line& l : lines)
        ins.execute({l.cod, entryId, newYearId, start, l.dh == "D" ? "C" : "D", l.importe});
    return entryId;
}

} // namespace kesh::db
