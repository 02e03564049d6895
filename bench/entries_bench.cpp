// Times what the entries and accounts browsers ask of the database on a large company, and
// the save of one entry, as the program does them.
//
//   entries_bench COMPANY [--ejercicio ID] [--cuenta CODE] [--guardados N] [--veces N]
//
// --veces 0 times only the saves.
//
// COMPANY is normally made with `keshcli generate COMPANY --asientos 100000`.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/context.h"
#include "db/database.h"
#include "entries/browse.h"
#include "entries/entries.h"
#include "reports/reportrows.h"

using namespace kesh;
using Clock_ = std::chrono::steady_clock;

namespace {

double Ms(Clock_::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Time(const std::function<void()>& f) {
    auto t0 = Clock_::now();
    f();
    return Ms(Clock_::now() - t0);
}

// Opens the statement and reads every column of every row, as a list model does.
int FetchAll(db::Transaction& tr, const std::string& sql, const db::Params& p) {
    db::Statement s = tr.prepare(sql);
    s.open(p);
    int rows = 0;
    const int cols = s.columnCount();
    std::string sink;
    while (s.next()) {
        for (int c = 0; c < cols; ++c) sink = s.getText(c);
        ++rows;
    }
    return rows;
}

struct Stat {
    double first, median, p95;
};
Stat Stats(std::vector<double> v) {
    Stat s{v.front(), 0, 0};
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.p95 = v[std::min(v.size() - 1, size_t(double(v.size()) * 0.95))];
    return s;
}

void Report(const char* what, const Stat& s, const std::string& note = {}) {
    std::printf("| %-52s | %9.1f | %9.1f | %9.1f | %s\n", what, s.first, s.median, s.p95, note.c_str());
}

// The lines of an entry as the browser reads them, on its own connection.
void Lines(db::Connection& conn, int64_t id) {
    db::Transaction tr = conn.begin({db::Isolation::ReadCommitted, true});
    entries::LoadLines(tr, id);
    tr.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: entries_bench EMPRESA [--ejercicio ID] [--cuenta COD] [--guardados N] [--veces N]\n");
        return 2;
    }
    std::string dsn = argv[1];
    int year = 0, saves = 200, reps = 5;
    std::string account;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--ejercicio")) year = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--cuenta")) account = argv[i + 1];
        else if (!std::strcmp(argv[i], "--guardados")) saves = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--veces")) reps = std::max(0, std::atoi(argv[i + 1]));
    }
    try {
        FiscalYear ej;
        int entries = 0, lines = 0;
        bool haveAccountsProcs = false;
        db::WithTransaction(dsn, [&](db::Transaction& tr) {
            db::Statement s = tr.prepare(year ? "select id, fech1, fech2, idrefun, idcierre from ejerc where id = ?"
                                              : "select first 1 id, fech1, fech2, idrefun, idcierre from ejerc order by id");
            s.open(year ? db::Params{year} : db::Params{});
            if (!s.next()) throw db::DbError("La empresa no tiene ejercicios.");
            ej.id = int(s.getInt("ID"));
            ej.fech1 = s.getDate("FECH1");
            ej.fech2 = s.getDate("FECH2");
            entries = int(tr.queryInt("select count(*) from asientos where idej = ?", {ej.id}));
            lines = int(tr.queryInt("select count(*) from pases where idej = ?", {ej.id}));
            haveAccountsProcs = tr.queryInt("select count(*) from rdb$procedures where rdb$procedure_name in "
                                            "('PBRCUENTAS', 'PMAYOR')") == 2;
            if (account.empty())
                account = tr.queryText("select first 1 cod from pases where idej = ? group by cod "
                                       "order by count(*) desc, cod", {ej.id});
        });
        const int accountLines = db::WithTransaction(dsn, [&](db::Transaction& tr) {
            return int(tr.queryInt("select count(*) from pases where cod = ? and idej = ?", {account, ej.id}));
        });
        std::printf("empresa %s: ejercicio %d, %d asientos, %d pases; cuenta %s con %d pases\n\n",
                    dsn.c_str(), ej.id, entries, lines, account.c_str(), accountLines);
        std::printf("| %-52s | %9s | %9s | %9s |\n", "operación (ms)", "primera", "mediana", "p95");
        std::printf("|%s|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(11, '-').c_str(),
                    std::string(11, '-').c_str(), std::string(11, '-').c_str());

        // Entries browser, as it opens: renumbering (Reenumeraras on, DesdeNumero 1,
        // recalculating the fingerprints) in its own transaction, then on the browser's own
        // connection the first screen of the list (the first 200 rows, more than a maximised
        // window shows) and the first entry's lines. The rest of the list comes in afterwards,
        // a part at a time while the program is idle, or at once when the user asks for a row
        // further on: "ir al último asiento" right after opening is that rest plus the last
        // entry's lines; once the list is complete it is the lines alone.
        constexpr int kFirstScreen = 200;
        for (int month : {0, 1}) {
            if (reps == 0) break;  // --veces 0: only the saves
            std::vector<double> t, tRenum, tRest, tLastEarly, tLast;
            int rows = 0;
            bool skipped = false;
            for (int r = 0; r < reps; ++r) {
                std::optional<db::Connection> conn;
                std::unique_ptr<entries::EntryListCursor> cursor;
                std::vector<entries::EntryListRow> list;
                t.push_back(Time([&] {
                    tRenum.push_back(Time([&] { skipped = entries::Renumber(dsn, ej.id, 1, true, true).skipped; }));
                    conn.emplace(db::Connection::open(dsn));
                    cursor = std::make_unique<entries::EntryListCursor>(*conn, ej.id, entries::View::Genericos,
                                                                        month, "0.00");
                    cursor->fetch(list, kFirstScreen);
                    if (!list.empty()) Lines(*conn, list.front().id);
                }));
                // The rest of the list: the same work whether it happens while idle or because
                // the user went to the last entry at once.
                tLastEarly.push_back(Time([&] {
                    tRest.push_back(Time([&] {
                        while (cursor->fetch(list, 2000) == 2000) {
                        }
                    }));
                    if (!list.empty()) Lines(*conn, list.back().id);
                }));
                rows = int(list.size());
                tLast.push_back(Time([&] { Lines(*conn, list.back().id); }));
            }
            const std::string m = month ? " (mes Enero)" : " (Todos)";
            Report(("abrir navegador de asientos, primera pantalla" + m).c_str(), Stats(t),
                   std::to_string(rows) + " asientos" + (skipped ? ", reenumeración omitida" : ""));
            Report(("  de ello pReenum(ej, 1, 1)" + m).c_str(), Stats(tRenum));
            Report(("  resto de la lista, mientras tanto" + m).c_str(), Stats(tRest));
            if (month == 0) {
                Report("ir al último asiento apenas abierto (resto + pases)", Stats(tLastEarly));
                Report("ir al último asiento con la lista completa (pases)", Stats(tLast));
                db::Connection conn = db::Connection::open(dsn);
                db::Transaction tr = conn.begin({db::Isolation::ReadCommitted, true});
                std::vector<double> tm;
                for (int r = 0; r < reps; ++r)
                    tm.push_back(Time([&] { FetchAll(tr, "select * from pselasimal(?, 1)", {ej.id}); }));
                Report("vista Desbalanceados (pselasimal)", Stats(tm));
            }
        }

        if (haveAccountsProcs && reps > 0) {
            // The list folds the per-month deltas first; on a company just generated (one delta
            // per line) the first fold is a one-off cost of its own.
            const double tFold = Time([&] { reports::CompactMonthlyBalances(dsn); });
            Report("plegado inicial de saldosmes (una vez)", {tFold, tFold, tFold});
            std::vector<double> ta, tl;
            int accRows = 0, ledRows = 0;
            for (int r = 0; r < reps; ++r) {
                ta.push_back(Time([&] {
                    reports::CompactMonthlyBalances(dsn);
                    db::Connection conn = db::Connection::open(dsn);
                    db::Transaction tr = conn.begin({db::Isolation::ReadCommitted, true});
                    accRows = FetchAll(tr, "select * from pbrcuentas(?, -1, -1, 0, 0, '')", {ej.id});
                }));
                tl.push_back(Time([&] {
                    db::Connection conn = db::Connection::open(dsn);
                    db::Transaction tr = conn.begin({db::Isolation::ReadCommitted, true});
                    ledRows = FetchAll(tr, "select * from pMayor(?, ?)", {account, ej.id});
                    FetchAll(tr, "select * from pSaldosMayor(?, ?)", {account, ej.id});
                }));
            }
            Report("lista del navegador de cuentas (plegado + pbrcuentas)", Stats(ta), std::to_string(accRows) + " cuentas");
            Report("mayor de la cuenta más movida (pMayor)", Stats(tl), std::to_string(ledRows) + " pases");
        } else if (!haveAccountsProcs) {
            std::printf("| %-52s | %9s | %9s | %9s | la empresa no tiene pbrcuentas/pMayor\n",
                        "navegador de cuentas y mayor", "-", "-", "-");
        }

        // Save latency: a 4-line entry through the grid editor's path, its own connection each.
        std::vector<std::string> codes;
        db::WithTransaction(dsn, [&](db::Transaction& tr) {
            db::Statement s = tr.prepare("select first 4 cod from cuentas where imp = 1 order by cod");
            s.open();
            while (s.next()) codes.push_back(s.getText("COD"));
        });
        if (codes.size() == 4 && saves > 0) {
            std::vector<double> ts;
            for (int i = 0; i < saves; ++i) {
                entries::GridEntry e;
                e.fecha = ej.fech1.addDays(i % 300);
                e.descrip = "Asiento de prueba de velocidad " + std::to_string(i);
                Amount a = Amount::fromCents(10000 + i), b = Amount::fromCents(2500 + i);
                e.lines = {{codes[0], "", a, {}}, {codes[1], "", b, {}}, {codes[2], "", {}, a}, {codes[3], "", {}, b}};
                ts.push_back(Time([&] {
                    if (!entries::SaveGridEntry(dsn, ej, e).ok) throw db::DbError("no se guardó");
                }));
            }
            Report("guardar un asiento de 4 pases", Stats(ts), std::to_string(saves) + " guardados");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "entries_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
