#include "entries/closing.h"

#include "accounts/codes.h"
#include "app/sqlhelpers.h"
#include "db/database.h"

namespace kesh::entries {
namespace {

// The settings keep what the user typed; a hand-written display code ("4.1") becomes the
// internal one, cut to the column width.
std::string internalCode(const std::string& code) {
    std::string c = code;
    while (!c.empty() && c.back() == ' ') c.pop_back();
    while (!c.empty() && c.front() == ' ') c.erase(c.begin());
    if (c.empty()) return c;
    c = ToInternalCode(c);
    if (c.size() > 20) c.resize(20);
    return c;
}

struct ProcResult {
    int64_t idas = 0;
    std::string result;
};

ProcResult callProc(db::Transaction& tr, const char* sql, const db::Params& params) {
    db::Statement s = tr.prepare(sql);
    s.open(params);
    ProcResult r;
    if (s.next()) {
        r.idas = s.getInt("IDAS");
        r.result = s.getText("RESULT");
    } else {
        r.result = "el procedimiento no devolvió resultado";
    }
    s.close();
    if (r.result.empty() && r.idas <= 0) r.result = "el procedimiento no devolvió el asiento creado";
    return r;
}

void deleteEntry(db::Transaction& tr, int64_t id) {
    tr.execute("delete from pases where idasi = ?", {id});
    tr.execute("delete from asientos where id = ?", {id});
}

} // namespace

std::string ClosingOutcome::text() const {
    std::string t;
    for (const auto& l : lines) t += l + "\n";
    return t;
}

ClosingOutcome RunClosing(const std::string& dsn, int yearId, const ClosingRequest& rq) {
    ClosingOutcome out;
    db::Connection conn = db::Connection::open(dsn);
    db::Transaction tr = conn.begin();
    auto readIds = [&] {
        db::Statement s = tr.prepare("select idrefun, idcierre from ejerc where id = ?");
        s.open({yearId});
        if (s.next()) {
            out.idrefun = int(s.getInt("IDREFUN"));
            out.idcierre = int(s.getInt("IDCIERRE"));
        }
    };
    readIds();

    if (rq.generateRefun) {
        const ProcResult r = callProc(tr, "select idas, result from pAsRefun(?, ?, ?, ?)",
                                      {yearId, SqlDate(rq.refunDate), internalCode(rq.codGP),
                                       internalCode(rq.codResul)});
        if (!r.result.empty()) {
            out.lines.push_back("(1)Error al intentar crear el asiento de refundición: " + r.result);
        } else {
            tr.execute("update ejerc set idrefun = ? where id = ?", {r.idas, yearId});
            out.lines.push_back("(1)El asiento de refundición ha sido creado");
        }
    }
    if (rq.generateCierre) {
        const ProcResult r = callProc(tr, "select idas, result from pAscierre(?, ?)",
                                      {yearId, SqlDate(rq.cierreDate)});
        if (!r.result.empty()) {
            out.lines.push_back("(2)Error al intentar crear el asiento de cierre: " + r.result);
        } else {
            tr.execute("update ejerc set idcierre = ? where id = ?", {r.idas, yearId});
            out.lines.push_back("(2)El asiento de cierre ha sido creado");
        }
    }
    readIds();
    if (rq.deleteRefun) {
        if (out.idrefun != 0) {
            deleteEntry(tr, out.idrefun);
            tr.execute("update ejerc set idrefun = 0 where id = ?", {yearId});
        }
        out.lines.push_back("(1)El asiento de Refundición ha sido borrado");
    }
    if (rq.deleteCierre) {
        if (out.idcierre != 0) {
            deleteEntry(tr, out.idcierre);
            tr.execute("update ejerc set idcierre = 0 where id = ?", {yearId});
        }
        out.lines.push_back("(2)El asiento de Cierre ha sido borrado");
    }
    readIds();
    tr.commit();
    return out;
}

std::string AccountLabel(const std::string& dsn, const std::string& code) {
    const std::string cod = internalCode(code);
    if (cod.empty()) return {};
    const std::string name = db::WithTransaction(dsn, [&](db::Transaction& tr) {
        return tr.queryText("select cuenta from cuentas where cod = ?", {cod});
    });
    std::string shown = ToDisplayCode(cod);
    if (shown.size() < 10) shown.resize(10, ' ');
    return shown + " " + name;
}

bool IsImputableAccount(const std::string& dsn, const std::string& code) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) {
        return tr.queryInt("select imp from cuentas where cod = ?", {internalCode(code)}) == 1;
    });
}

} // namespace kesh::entries
