#include "entries/generator.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "app/context.h"
#include "db/database.h"
#include "entries/entries.h"

namespace kesh::entries {

namespace {

// SplitMix64: tiny, fixed and identical on every platform.
struct Rng {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    template <class T> const T& pick(const std::vector<T>& v) { return v[size_t(below(int(v.size())))]; }
};

std::string Code(std::initializer_list<int> levels) {
    std::string c;
    char buf[8];
    for (int l : levels) {
        std::snprintf(buf, sizeof buf, "%04d", l);
        c += buf;
    }
    return c;
}

struct Account {
    std::string code, name, token;
    bool imputable;
};

// The accounts an entry kind draws from.
struct Chart {
    std::vector<Account> all;
    std::vector<std::string> banks, customers, providers, sales, purchases, expenses, payroll,
        payrollDebts, bankCosts, other;
    std::string caja, vatCredit, vatDebit, percIva, retIibbSuf, retDeposit, percIibbVta;
};

const std::vector<std::string> kSurnames = {
    "González", "Rodríguez", "Gómez", "Fernández", "López", "Díaz", "Martínez", "Pérez",
    "García", "Sánchez", "Romero", "Sosa", "Álvarez", "Torres", "Ruiz", "Ramírez", "Flores",
    "Acosta", "Benítez", "Medina", "Herrera", "Suárez", "Aguirre", "Giménez", "Gutiérrez",
    "Pereyra", "Rojas", "Molina", "Castro", "Ortiz", "Silva", "Núñez", "Luna", "Juárez",
    "Cabrera", "Ríos", "Ferreyra", "Godoy", "Morales", "Domínguez"};
const std::vector<std::string> kTrades = {
    "Distribuidora", "Comercial", "Ferretería", "Almacén", "Supermercado", "Transportes",
    "Agropecuaria", "Textil", "Maderera", "Librería", "Farmacia", "Autoservicio", "Frigorífico",
    "Molinos", "Papelera", "Metalúrgica", "Vidriería", "Corralón", "Bodega", "Panificadora"};
const std::vector<std::string> kForms = {"S.A.", "S.R.L.", "S.A.S.", "y Cía.", "Hnos."};

Chart BuildChart(Rng& rng) {
    Chart ch;
    auto group = [&](std::initializer_list<int> l, std::string name) {
        ch.all.push_back({Code(l), std::move(name), "", false});
    };
    std::map<std::string, int> nextChild;
    auto leaf = [&](std::initializer_list<int> parent, std::string name, std::vector<std::string>* role,
                    std::string token = "") {
        std::string p = Code(parent);
        int n = ++nextChild[p];
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04d", n);
        std::string code = p + buf;
        ch.all.push_back({code, std::move(name), std::move(token), true});
        if (role) role->push_back(code);
        return code;
    };
    group({1}, "ACTIVO");
    group({1, 1}, "ACTIVO CORRIENTE");
    group({1, 1, 1}, "Caja y Bancos");
    ch.caja = leaf({1, 1, 1}, "Caja", &ch.banks, "CA");
    leaf({1, 1, 1}, "Caja chica", &ch.other);
    for (const char* b : {"Banco de la Nación Argentina Cta. Cte.", "Banco de Galicia Cta. Cte.",
                          "Banco Provincia Caja de Ahorro", "Banco Santander Cta. Cte.",
                          "Banco Macro Cta. Cte.", "Banco Credicoop Cta. Cte."})
        leaf({1, 1, 1}, b, &ch.banks);
    leaf({1, 1, 1}, "Valores a depositar", &ch.other);
    leaf({1, 1, 1}, "Moneda extranjera", &ch.other);
    group({1, 1, 2}, "Inversiones");
    for (const char* i : {"Plazo fijo Banco Nación", "Plazo fijo Banco Galicia", "Fondos comunes de inversión"})
        leaf({1, 1, 2}, i, &ch.other);
    group({1, 1, 3}, "Créditos por ventas");
    for (int i = 0; i < 130; ++i)
        leaf({1, 1, 3},
             "Deudores - " + rng.pick(kTrades) + " " + rng.pick(kSurnames) + " " + rng.pick(kForms),
             &ch.customers);
    group({1, 1, 4}, "Otros créditos");
    ch.vatCredit = leaf({1, 1, 4}, "IVA Crédito fiscal", nullptr, "IVACF");
    ch.percIva = leaf({1, 1, 4}, "Percepciones de IVA sufridas", nullptr);
    ch.retIibbSuf = leaf({1, 1, 4}, "Retenciones de Ingresos Brutos sufridas", nullptr);
    for (const char* o : {"Anticipos de Ganancias", "Anticipos a proveedores", "Préstamos al personal",
                          "Seguros a devengar", "Alquileres pagados por adelantado"})
        leaf({1, 1, 4}, o, &ch.other);
    group({1, 1, 5}, "Bienes de cambio");
    for (const char* b : {"Mercaderías de reventa", "Materias primas", "Envases", "Mercadería en tránsito"})
        leaf({1, 1, 5}, b, &ch.purchases);
    group({1, 2}, "ACTIVO NO CORRIENTE");
    group({1, 2, 1}, "Bienes de uso");
    for (const char* b : {"Inmuebles", "Rodados", "Muebles y útiles", "Instalaciones",
                          "Equipos de computación", "Maquinarias"}) {
        leaf({1, 2, 1}, b, &ch.other);
        leaf({1, 2, 1}, std::string("Amortización acumulada ") + b, &ch.other);
    }
    group({1, 2, 2}, "Activos intangibles");
    leaf({1, 2, 2}, "Marcas y patentes", &ch.other);
    leaf({1, 2, 2}, "Software", &ch.other);

    group({2}, "PASIVO");
    group({2, 1}, "PASIVO CORRIENTE");
    group({2, 1, 1}, "Deudas comerciales");
    for (int i = 0; i < 100; ++i)
        leaf({2, 1, 1},
             "Proveedores - " + rng.pick(kTrades) + " " + rng.pick(kSurnames) + " " + rng.pick(kForms),
             &ch.providers);
    group({2, 1, 2}, "Deudas bancarias y financieras");
    for (const char* d : {"Préstamo Banco Nación", "Préstamo Banco Galicia", "Tarjeta corporativa",
                          "Adelantos en cuenta corriente"})
        leaf({2, 1, 2}, d, &ch.other);
    group({2, 1, 3}, "Deudas fiscales");
    ch.vatDebit = leaf({2, 1, 3}, "IVA Débito fiscal", nullptr, "IVADF");
    ch.retDeposit = leaf({2, 1, 3}, "Retenciones a depositar", nullptr);
    ch.percIibbVta = leaf({2, 1, 3}, "Percepciones de Ingresos Brutos a depositar", nullptr);
    for (const char* d : {"IVA a pagar", "Ingresos Brutos a pagar", "Impuesto a las Ganancias a pagar",
                          "Tasa municipal a pagar"})
        leaf({2, 1, 3}, d, &ch.other);
    group({2, 1, 4}, "Deudas sociales");
    for (const char* d : {"Sueldos a pagar", "Cargas sociales a pagar", "Sindicato a pagar",
                          "Obra social a pagar", "SAC a pagar", "Vacaciones a pagar"})
        leaf({2, 1, 4}, d, &ch.payrollDebts);
    group({2, 2}, "PASIVO NO CORRIENTE");
    group({2, 2, 1}, "Deudas a largo plazo");
    leaf({2, 2, 1}, "Préstamos hipotecarios", &ch.other);
    leaf({2, 2, 1}, "Previsión para despidos", &ch.other);

    group({3}, "PATRIMONIO NETO");
    group({3, 1}, "CAPITAL Y RESULTADOS");
    group({3, 1, 1}, "Aportes y resultados");
    for (const char* p : {"Capital suscripto", "Ajuste de capital", "Reserva legal",
                          "Resultados no asignados", "Resultado del ejercicio"})
        leaf({3, 1, 1}, p, nullptr);

    group({4}, "INGRESOS");
    group({4, 1}, "INGRESOS OPERATIVOS");
    group({4, 1, 1}, "Ventas");
    for (const char* v : {"Almacén", "Bebidas", "Limpieza", "Perfumería", "Ferretería", "Electricidad",
                          "Pinturería", "Bazar", "Librería", "Juguetería", "Textiles", "Calzado",
                          "Electrodomésticos", "Computación", "Jardinería", "Herramientas",
                          "Sanitarios", "Iluminación", "Materiales de construcción", "Maderas"})
        leaf({4, 1, 1}, std::string("Ventas de ") + v, &ch.sales);
    leaf({4, 1, 1}, "Servicios prestados", &ch.sales);
    group({4, 2}, "OTROS INGRESOS");
    group({4, 2, 1}, "Ingresos financieros y varios");
    for (const char* v : {"Intereses ganados", "Diferencia de cambio positiva", "Descuentos obtenidos",
                          "Recupero de gastos"})
        leaf({4, 2, 1}, v, &ch.other);

    group({5}, "EGRESOS");
    group({5, 1}, "COSTOS");
    group({5, 1, 1}, "Costo de ventas");
    leaf({5, 1, 1}, "Costo de mercaderías vendidas", &ch.other);
    leaf({5, 1, 1}, "Fletes sobre compras", &ch.expenses);
    group({5, 2}, "GASTOS");
    group({5, 2, 1}, "Gastos de administración");
    for (const char* g : {"Alquileres", "Honorarios profesionales", "Energía eléctrica", "Gas", "Agua",
                          "Teléfono", "Internet", "Papelería y útiles", "Seguros", "Limpieza",
                          "Mantenimiento", "Vigilancia", "Correo y mensajería", "Gastos de cafetería",
                          "Suscripciones", "Capacitación", "Impuestos municipales", "Movilidad"})
        leaf({5, 2, 1}, g, &ch.expenses);
    group({5, 2, 2}, "Gastos de comercialización");
    for (const char* g : {"Fletes y acarreos", "Publicidad", "Comisiones sobre ventas", "Ingresos Brutos",
                          "Viáticos", "Combustibles", "Peajes y estacionamiento", "Muestras",
                          "Deudores incobrables", "Embalajes"})
        leaf({5, 2, 2}, g, &ch.expenses);
    group({5, 2, 3}, "Gastos en personal");
    for (const char* g : {"Sueldos y jornales", "Cargas sociales", "Aportes sindicales", "Obra social",
                          "Sueldo anual complementario", "Vacaciones", "Indemnizaciones",
                          "Ropa de trabajo"})
        leaf({5, 2, 3}, g, &ch.payroll);
    group({5, 3}, "RESULTADOS FINANCIEROS");
    group({5, 3, 1}, "Gastos financieros");
    for (const char* g : {"Intereses pagados", "Gastos bancarios", "Impuesto a los débitos y créditos",
                          "Comisiones de tarjetas", "Diferencia de cambio negativa"})
        leaf({5, 3, 1}, g, &ch.bankCosts);
    return ch;
}

Amount Cents(Rng& rng, int64_t lo, int64_t hi) {
    return Amount::fromCents(lo + int64_t(rng.next() % uint64_t(hi - lo + 1)));
}
Amount Percent(Amount a, int basisPoints) {  // a * bp / 10000, rounded half up
    return Amount::fromCents((a.cents() * basisPoints + 5000) / 10000);
}

std::string VoucherNo(Rng& rng) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%08d", rng.between(1, 12), rng.between(1, 99999));
    return buf;
}

const std::string& NameOf(const Chart& ch, const std::string& code) {
    static const std::string none;
    for (const Account& a : ch.all)
        if (a.code == code) return a.name;
    return none;
}

// One entry of a kind drawn at random, balanced by construction.
GridEntry MakeEntry(Rng& rng, const Chart& ch, Date fecha) {
    GridEntry e;
    e.fecha = fecha;
    auto D = [&](const std::string& c, Amount a, std::string det = "") {
        e.lines.push_back({c, std::move(det), a, {}});
    };
    auto C = [&](const std::string& c, Amount a, std::string det = "") {
        e.lines.push_back({c, std::move(det), {}, a});
    };
    int kind = rng.below(100);
    if (kind < 32) {  // sale: 3 to 5 lines
        const std::string& cust = rng.pick(ch.customers);
        Amount net = Cents(rng, 5'000, 2'500'000);
        Amount vat = Percent(net, rng.below(4) ? 2100 : 1050);
        Amount perc = rng.below(3) ? Amount() : Percent(net, 300);
        std::string v = VoucherNo(rng);
        e.descrip = "Venta s/Fact. A " + v + " " + NameOf(ch, cust).substr(10);
        D(cust, net + vat + perc, "Fact. A " + v);
        if (rng.below(3)) {  // two product lines
            Amount part = Amount::fromCents(net.cents() * rng.between(20, 80) / 100);
            C(rng.pick(ch.sales), part);
            C(rng.pick(ch.sales), net - part);
        } else {
            C(rng.pick(ch.sales), net);
        }
        C(ch.vatDebit, vat);
        if (!perc.isZero()) C(ch.percIibbVta, perc);
    } else if (kind < 58) {  // purchase: 3 to 5 lines
        const std::string& prov = rng.pick(ch.providers);
        Amount net = Cents(rng, 5'000, 1'800'000);
        Amount vat = Percent(net, rng.below(4) ? 2100 : 1050);
        Amount perc = rng.below(3) ? Amount() : Percent(net, 300);
        std::string v = VoucherNo(rng);
        e.descrip = "Compra s/Fact. A " + v + " " + NameOf(ch, prov).substr(14);
        const std::string& what = rng.below(3) ? rng.pick(ch.purchases) : rng.pick(ch.expenses);
        if (rng.below(3)) {
            Amount part = Amount::fromCents(net.cents() * rng.between(20, 80) / 100);
            D(what, part);
            D(rng.pick(ch.purchases), net - part);
        } else {
            D(what, net);
        }
        D(ch.vatCredit, vat);
        if (!perc.isZero()) D(ch.percIva, perc);
        C(prov, net + vat + perc, "Fact. A " + v);
    } else if (kind < 72) {  // collection: 2 to 4 lines
        const std::string& cust = rng.pick(ch.customers);
        Amount total = Cents(rng, 10'000, 3'000'000);
        Amount ret = rng.below(3) ? Percent(total, 250) : Amount();
        e.descrip = "Cobranza Recibo " + std::to_string(rng.between(1, 99999)) + " " + NameOf(ch, cust).substr(10);
        D(rng.pick(ch.banks), total - ret);
        if (!ret.isZero()) D(ch.retIibbSuf, ret);
        if (rng.below(2)) {  // two invoices settled at once
            Amount first = Amount::fromCents(total.cents() * rng.between(20, 80) / 100);
            C(cust, first, "Fact. A " + VoucherNo(rng));
            C(cust, total - first, "Fact. A " + VoucherNo(rng));
        } else {
            C(cust, total, "Fact. A " + VoucherNo(rng));
        }
    } else if (kind < 86) {  // payment: 2 to 4 lines
        const std::string& prov = rng.pick(ch.providers);
        Amount total = Cents(rng, 10'000, 2'500'000);
        Amount ret = rng.below(3) ? Percent(total, 200) : Amount();
        e.descrip = "Pago Orden " + std::to_string(rng.between(1, 99999)) + " " + NameOf(ch, prov).substr(14);
        if (rng.below(2)) {
            Amount first = Amount::fromCents(total.cents() * rng.between(20, 80) / 100);
            D(prov, first, "Fact. A " + VoucherNo(rng));
            D(prov, total - first, "Fact. A " + VoucherNo(rng));
        } else {
            D(prov, total, "Fact. A " + VoucherNo(rng));
        }
        C(rng.pick(ch.banks), total - ret, "Transferencia");
        if (!ret.isZero()) C(ch.retDeposit, ret);
    } else if (kind < 93) {  // bank charges: 4 lines
        const std::string& bank = rng.pick(ch.banks);
        Amount fee = Cents(rng, 500, 80'000);
        Amount tax = Percent(fee, 60);
        Amount vat = Percent(fee, 2100);
        e.descrip = "Gastos bancarios " + NameOf(ch, bank);
        D(ch.bankCosts[1], fee);
        D(ch.bankCosts[2], tax);
        D(ch.vatCredit, vat);
        C(bank, fee + tax + vat, "Débito en cuenta");
    } else if (kind < 98) {  // payroll: 4 to 6 lines
        Amount gross = Cents(rng, 500'000, 15'000'000);
        Amount contrib = Percent(gross, 2400);
        Amount union_ = rng.below(2) ? Amount() : Percent(gross, 200);
        Amount withheld = Percent(gross, 1700);
        e.descrip = "Liquidación de sueldos y cargas sociales";
        D(ch.payroll[0], gross);
        D(ch.payroll[1], contrib);
        C(ch.payrollDebts[0], gross - withheld - union_);
        C(ch.payrollDebts[1], contrib + withheld);
        if (!union_.isZero()) C(ch.payrollDebts[2], union_);
        if (rng.below(2)) {
            Amount sac = Percent(gross, 833);
            D(ch.payroll[4], sac);
            e.lines[2].credit += sac;
        }
    } else {  // transfer between banks or cash: 2 lines
        const std::string& a = rng.pick(ch.banks);
        std::string b = rng.pick(ch.banks);
        if (b == a) b = ch.caja == a ? ch.banks[1] : ch.caja;
        Amount x = Cents(rng, 10'000, 5'000'000);
        e.descrip = "Transferencia entre cuentas";
        D(a, x);
        C(b, x);
    }
    if (e.descrip.size() > 60) e.descrip.resize(60);
    while (!e.descrip.empty() && (static_cast<unsigned char>(e.descrip.back()) & 0xC0) == 0x80) e.descrip.pop_back();
    if (!e.descrip.empty() && (static_cast<unsigned char>(e.descrip.back()) & 0x80)) e.descrip.pop_back();
    return e;
}

FiscalYear ReadYear(db::Transaction& tr, int id) {
    FiscalYear ej;
    db::Statement s = tr.prepare(
        id ? "select id, fech1, fech2, idrefun, idcierre from ejerc where id = ?"
           : "select first 1 id, fech1, fech2, idrefun, idcierre from ejerc order by fech1, id");
    s.open(id ? db::Params{id} : db::Params{});
    if (!s.next()) return ej;
    ej.id = int(s.getInt("ID"));
    ej.fech1 = s.getDate("FECH1");
    ej.fech2 = s.getDate("FECH2");
    ej.idrefun = int(s.getInt("IDREFUN"));
    ej.idcierre = int(s.getInt("IDCIERRE"));
    return ej;
}

} // namespace

GeneratorResult Generate(const std::string& dsn, const GeneratorOptions& opts) {
    GeneratorResult res;
    Rng rng{opts.seed};
    Chart ch = BuildChart(rng);
    FiscalYear ej;
    std::vector<std::string> existing;
    {
        db::Connection conn = db::Connection::open(dsn);
        db::Transaction tr = conn.begin();
        ej = ReadYear(tr, opts.year);
        if (ej.id == 0) {
            if (opts.year != 0) throw db::DbError("No existe el ejercicio " + std::to_string(opts.year) + ".");
            tr.execute("insert into ejerc (descrip, fech1, fech2) values ('Ejercicio 2026', ?, ?)",
                       {Date::fromYmd(2026, 1, 1), Date::fromYmd(2026, 12, 31)});
            ej = ReadYear(tr, 0);
        }
        if (ej.closed()) throw db::DbError("El ejercicio está cerrado.");
        if (tr.queryInt("select count(*) from cuentas") == 0) {
            db::Statement ins = tr.prepare("insert into cuentas (cod, cuenta, token, imp) values (?, ?, ?, ?)");
            for (const Account& a : ch.all) ins.execute({a.code, a.name, a.token, a.imputable ? 1 : 0});
            res.accountsAdded = int(ch.all.size());
        } else {
            // A company with its own chart: entries draw on its imputable accounts.
            db::Statement s = tr.prepare("select cod from cuentas where imp = 1 order by cod");
            s.open();
            while (s.next()) existing.push_back(s.getText("COD"));
            if (existing.size() < 2) throw db::DbError("El plan de cuentas no tiene cuentas imputables.");
        }
        tr.commit();
    }
    res.year = ej.id;
    res.imputable = existing.empty()
                        ? int(std::count_if(ch.all.begin(), ch.all.end(), [](const Account& a) { return a.imputable; }))
                        : int(existing.size());

    std::map<std::string, int> uses;
    const int days = std::max(1, (ej.fech2 - ej.fech1) + 1);
    db::Connection conn = db::Connection::open(dsn);
    for (int done = 0; done < opts.entries;) {
        db::Transaction tr = conn.begin();
        const int upto = std::min(opts.entries, done + std::max(1, opts.batch));
        for (; done < upto; ++done) {
            // Typed roughly in date order, a few days late now and then.
            int day = int(int64_t(done) * days / std::max(1, opts.entries)) - (rng.below(10) == 0 ? rng.below(6) : 0);
            Date fecha = ej.fech1.addDays(std::clamp(day, 0, days - 1));
            GridEntry e;
            if (existing.empty()) {
                e = MakeEntry(rng, ch, fecha);
            } else {
                e.fecha = fecha;
                e.descrip = "Asiento generado " + std::to_string(done + 1);
                int n = rng.between(2, 6);
                Amount total;
                for (int i = 0; i < n - 1; ++i) {
                    Amount a = Cents(rng, 100, 1'000'000);
                    e.lines.push_back({rng.pick(existing), "", a, {}});
                    total += a;
                }
                e.lines.push_back({rng.pick(existing), "", {}, total});
            }
            SaveResult r = SaveGridEntry(tr, ej, e);
            if (!r.ok) throw db::DbError(r.message);
            for (const GridLine& l : e.lines) ++uses[l.code];
            res.lines += int(e.lines.size());
        }
        tr.commit();
        if (opts.progress) opts.progress(done);
    }
    res.entries = opts.entries;
    int best = -1;
    for (const auto& [code, n] : uses)
        if (n > best) best = n, res.busiestAccount = code;
    return res;
}

} // namespace kesh::entries
