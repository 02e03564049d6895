#include "accounts/standardchart.h"

namespace kesh {

namespace {

struct ChartRow {
    const char* code;
    const char* name;
    int imp;
};

// In insertion order; the two party accounts come last, each after its record.
const ChartRow kStandardChart[] = {
    {"0001", "ACTIVO", 0},
    {"00010001", "ACTIVO CORRIENTE", 0},
    {"000100010001", "DISPONIBILIDADES", 0},
    {"0001000100010001", "Caja", 1},
    {"0001000100010002", "Banco", 1},
    {"000100010006", "BIENES DE CAMBIO", 0},
    {"0001000100060001", "Mercaderías", 1},
    {"000100010004", "OTROS CREDITOS", 0},
    {"0001000100040003", "IVA Crédito Fiscal", 1},
    {"0001000100040012", "IVA C.F. Retenciones", 1},
    {"0001000100040014", "IVA C.F. Percepciones", 1},
    {"0001000100040015", "Ing.Brutos Retenciones", 1},
    {"0001000100040017", "Ing.Brutos Percepciones", 1},
    {"000100010008", "CLIENTES", 0},
    {"0002", "PASIVO", 0},
    {"00020001", "PASIVO CORRIENTE", 0},
    {"000200010008", "PROVEEDORES", 0},
    {"0003", "PATRIMONIO NETO", 0},
    {"00030001", "PATRIMONIO NETO", 0},
    {"000300010001", "PATRIMONIO NETO", 0},
    {"0003000100010001", "Capital Social", 1},
    {"0003000100010002", "Ajustes al Capital", 1},
    {"0003000100010003", "Ganancias Reservadas", 1},
    {"0003000100010004", "Resultados no asignados", 1},
    {"0004", "RESULTADOS", 0},
    {"00040001", "INGRESOS", 0},
    {"000400010001", "INGRESOS CORRIENTES", 0},
    {"0004000100010001", "Ventas de Mercaderías", 1},
    {"0004000100010002", "Intereses Percibidos", 1},
    {"0004000100010003", "Descuentos Obtenidos", 1},
    {"0004000100010008", "Ingresos Varios", 1},
    {"00040002", "EGRESOS", 0},
    {"000400020001", "AMORTIZACIONES", 0},
    {"0004000200010001", "Amortizaciones del Ejercicio", 1},
    {"000400020002", "GASTOS", 0},
    {"0004000200020001", "Gastos Varios", 1},
};

struct PartyRow {
    const char* code;
    const char* name;
    int clase;
    const char* deha;
};
const PartyRow kStandardParties[] = {
    {"0001000100080001", "Clientes Varios", 2, "CCCCCCCCCCCD"},
    {"0002000100080001", "Proveedores Varios", 1, "DDDDDDDDDDDC"},
};

bool insertIfMissing(db::Transaction& tr, const char* code, const char* name, int idaux,
                     int clase, int imp) {
    if (tr.queryInt("select count(id) from cuentas where cod = ?", {code}) > 0) return false;
    tr.execute("insert into cuentas (cod, cuenta, ajus, idaux, clase, imp) "
               "values (?, ?, 0, ?, ?, ?)",
               {code, name, idaux, clase, imp});
    return true;
}

} // namespace

bool StandardChartOfferDue(db::Transaction& tr, bool forced, int nasiclase) {
    return tr.queryInt("select count(id) from cuentas") < 2 && (forced || nasiclase == 1);
}

int InstallStandardChart(db::Transaction& tr) {
    int inserted = 0;
    for (const ChartRow& r : kStandardChart)
        if (insertIfMissing(tr, r.code, r.name, 0, 0, r.imp)) ++inserted;
    for (const PartyRow& p : kStandardParties) {
        const int64_t idaux = tr.insertReturningId(
            "insert into auxctas (activ, deha, codigos) values ('000000000000', ?, ?) "
            "returning id",
            {p.deha, std::string(240, ' ')});
        if (insertIfMissing(tr, p.code, p.name, static_cast<int>(idaux), p.clase, 1))
            ++inserted;
        else
            tr.execute("delete from auxctas where id = ?", {idaux}); // keep no orphan record
    }
    return inserted;
}

bool OfferStandardChart(const std::string& dsn, bool forced, int& nasiclase,
                        const std::function<bool(const std::string&)>& ask) {
    const bool due = db::WithTransaction(
        dsn, [&](db::Transaction& tr) { return StandardChartOfferDue(tr, forced, nasiclase); });
    if (!due) return false;
    if (!ask(kStandardChartQuestion)) {
        if (nasiclase == 1) {
            db::WithTransaction(dsn, [](db::Transaction& tr) {
                tr.execute("update empresa set nasiclase = 0");
            });
            nasiclase = 0;
        }
        return false;
    }
    db::WithTransaction(dsn, [](db::Transaction& tr) { InstallStandardChart(tr); });
    return true;
}

} // namespace kesh
