#include "print/layouts.h"

#include <cstdio>

#include "print/units.h"

namespace kesh::print {

using reports::Group;
using reports::FormatDebeHaber;
using reports::FormatSaldo;
using reports::FormatThousands;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString DateText(Date d) { return d.isZero() ? QString() : Q(d.toDisplay()); }

// What every layout shares: its rows, the context and the alternating-colour flag.
template <class Row>
class RowsLayout : public BandLayout {
public:
    RowsLayout(Ctx ctx, LayoutRows<Row> rows) : ctx_(std::move(ctx)), rows_(std::move(rows.rows)) {}

    size_t rowsRead() const override { return rows_->read(); }
    void dropRowsBehind() override { rows_->dropBefore(idx_); }
    void stopReading() override { rows_->stop(); }

protected:
    // Whether row i exists (read from the stream up to it), and the row.
    bool has(size_t i) const { return rows_->has(i); }
    const Row& row(size_t i) const { return (*rows_)[i]; }

    const TextStyle& st(Group g) const { return ctx_->style(g); }
    double line(Group g) const { return LineMm(st(g).font.pointSizeF()) + 0.6; }

    double headingHeight() const override { return line(Group::Enca); }

    // Heading band: Enca style on its background, captions at x (left) or right edges.
    void paintCaptions(const Canvas& c, Group g,
                       std::initializer_list<std::pair<double, const char*>> left,
                       std::initializer_list<std::pair<double, const char*>> right = {}) const {
        c.fill(st(g).back);
        for (const auto& [x, t] : left) c.left(x, QString::fromUtf8(t), st(g));
        for (const auto& [x, t] : right) c.right(x, QString::fromUtf8(t), st(g));
    }

    // A detail band: body colour by the flag (then toggled), dotted line when asked.
    template <class Paint>
    Band detail(Paint paint, bool toggle = true) {
        Band b;
        b.height = ctx_->lineMm;
        const TextStyle body = st(Group::Cuerpo);
        const QColor back = flag_ ? body.back2 : body.back;
        if (toggle) flag_ = !flag_;
        const bool dots = ctx_->settings.puntos;
        const double dotY = std::max(ctx_->lineMm - 2 * kMmPerInch / 96.0, 0.1);
        b.paint = [back, dots, dotY, body, paint](const Canvas& c) {
            c.fill(back);
            paint(c, body);
            if (dots) c.dottedLine(dotY, body.color);
        };
        return b;
    }

    // A band in one style group on that group's background.
    template <class Paint>
    Band groupBand(Group g, double height, Paint paint) const {
        Band b;
        b.height = height;
        const TextStyle s = st(g);
        b.paint = [s, paint](const Canvas& c) {
            c.fill(s.back);
            paint(c, s);
        };
        return b;
    }

    Ctx ctx_;
    reports::Rows<Row> rows_; // shared by the copies of the layout at each page start
    size_t idx_ = 0;
    bool flag_ = false;
};

// ---- journal --------------------------------------------------------------------------

class Journal : public RowsLayout<reports::JournalRow> {
public:
    Journal(Ctx ctx, LayoutRows<reports::JournalRow> rows, bool sumas)
        : RowsLayout(std::move(ctx), std::move(rows)), sumas_(sumas) {}
    std::unique_ptr<BandLayout> clone() const override { return std::make_unique<Journal>(*this); }

    std::string countLine() const override {
        return "KESH - Registros procesados: " + std::to_string(entries_) + " asiento(s) y " +
               std::to_string(lines_) + " movimientos";
    }
    void paintHeadings(const Canvas& c) const override {
        paintCaptions(c, Group::Enca,
                      {{1.1, "Código"}, {21.7, "Cuenta"}, {92.3, "Detalle"}, {142.6, "Debe"},
                       {170.1, "Haber"}});
    }

    bool next(Band& b) override {
        if (inEntry_ && (!has(idx_) || row(idx_).nro != nro_)) {
            inEntry_ = false;
            b = footer();
            return true;
        }
        if (!has(idx_)) return false;
        const auto& r = row(idx_);
        if (!inEntry_) {
            inEntry_ = true;
            nro_ = r.nro;
            ++entries_;
            debe_ = haber_ = Amount();
            const QString fecha = DateText(r.fecha), nro = QString::number(r.nro),
                          desc = Q(r.descrip);
            b = groupBand(Group::Empre, line(Group::Empre), [=](const Canvas& c, const TextStyle& s) {
                c.left(1.1, fecha, s, 26);
                c.left(28.0, QStringLiteral("Asiento Nº"), s, 19);
                c.left(47.6, nro, s, 15);
                c.left(63.0, desc, s, 120);
            });
            return true;
        }
        ++idx_;
        ++lines_;
        debe_ += r.debe;
        haber_ += r.haber;
        const QString cod = Q(r.cod2), cta = Q(r.cuent), det = Q(r.detalle),
                      d = Q(FormatDebeHaber(r.debe)), h = Q(FormatDebeHaber(r.haber));
        b = detail([=](const Canvas& c, const TextStyle& s) {
            c.left(0.5, cod, s, 22);
            c.left(23.0, cta, s, 68);
            c.left(92.3, det, s, 36);
            c.right(150, d, s, 22);
            c.right(180, h, s, 22);
        });
        return true;
    }

private:
    Band footer() const {
        if (!sumas_) return Band{}; // height 0: not printed
        const QString d = Q(FormatThousands(debe_)), h = Q(FormatThousands(haber_));
        return groupBand(Group::Total, line(Group::Total), [=](const Canvas& c, const TextStyle& s) {
            c.left(84.7, QStringLiteral("Sumas iguales. . . . . . . "), s, 40);
            c.right(150, d, s, 26);
            c.right(180, h, s, 26);
        });
    }

    bool sumas_;
    bool inEntry_ = false;
    int nro_ = 0;
    int entries_ = 0, lines_ = 0;
    Amount debe_, haber_;
};

// ---- ledger ---------------------------------------------------------------------------

class Ledger : public RowsLayout<reports::LedgerRow> {
public:
    Ledger(Ctx ctx, LayoutRows<reports::LedgerRow> rows, bool arrastra, bool hojas)
        : RowsLayout(std::move(ctx), std::move(rows)), arrastra_(arrastra), hojas_(hojas) {}
    std::unique_ptr<BandLayout> clone() const override { return std::make_unique<Ledger>(*this); }

    std::string countLine() const override {
        return "KESH - Registros procesados: " + std::to_string(accounts_) + " cuenta(s) y " +
               std::to_string(lines_) + " movimientos";
    }
    double headingHeight() const override { return line(Group::Empre); }
    void paintHeadings(const Canvas& c) const override {
        paintCaptions(c, Group::Empre,
                      {{1.1, "Fecha"}, {20.9, "Nº"}, {27.3, "Asiento"}, {87.6, "Detalle"}},
                      {{134, "Debito"}, {157, "Crédito"}, {180, "Saldo"}});
    }

    bool next(Band& b) override {
        if (state_ == State::Header && !has(idx_)) return false;
        if (state_ == State::Header) {
            const auto& r = row(idx_);
            cod_ = r.cod;
            debe_ = arrastra_ ? r.acudebe : Amount();
            haber_ = arrastra_ ? r.acuhaber : Amount();
            ++accounts_;
            state_ = arrastra_ ? State::Anterior : State::Detail;
            const QString cod = Q(r.cod2), cta = Q(r.cuenta);
            b = groupBand(Group::Enca, line(Group::Enca), [=](const Canvas& c, const TextStyle& s) {
                c.left(9.3, QStringLiteral("Cuenta:"), s, 22);
                c.left(33.6, cod, s, 27);
                c.left(61.4, cta, s, 110);
            });
            return true;
        }
        if (state_ == State::Anterior) {
            const auto& r = row(idx_);
            state_ = State::Detail;
            const QString d = Q(FormatDebeHaber(r.acudebe)), h = Q(FormatDebeHaber(r.acuhaber)),
                          sal = Q(FormatSaldo(r.acusaldo));
            const TextStyle body = st(Group::Cuerpo);
            const bool dots = ctx_->settings.puntos;
            const double lh = ctx_->lineMm;
            b.height = lh;
            b.paint = [=](const Canvas& c) {
                c.fill(body.back2);
                c.left(97.4, QStringLiteral("Anterior. . ."), body, 16);
                c.right(134, d, body, 20);
                c.right(157, h, body, 22);
                c.right(180, sal, body, 22);
                if (dots) c.dottedLine(std::max(lh - 2 * kMmPerInch / 96.0, 0.1), body.color);
            };
            return true;
        }
        if (state_ == State::Detail && has(idx_) && row(idx_).cod == cod_) {
            const auto& r = row(idx_++);
            ++lines_;
            QString fecha, nro, desc, saldo;
            if (r.nro > 0) {
                fecha = DateText(r.fech);
                nro = QString::number(r.nro);
                desc = Q(r.descripasi);
                debe_ += r.debe;
                haber_ += r.haber;
                saldo = Q(FormatSaldo(debe_ - haber_, "0,00  "));
            } else {
                desc = Q(r.descripasi); // monthly totals: "TOTALES ..."
                saldo = Q(FormatSaldo(r.saldo, "0,00  "));
            }
            const bool total = r.nro < 1;
            const QString det = Q(r.detall), d = Q(FormatDebeHaber(r.debe)),
                          h = Q(FormatDebeHaber(r.haber));
            b = detail([=](const Canvas& c, const TextStyle& s) {
                if (!total) {
                    c.left(0.3, fecha, s, 20);
                    c.right(22.5, nro, s, 10);
                }
                c.left(23.5, desc, s, 62.7);
                c.left(87.6, det, s, 24);
                c.right(134, d, s, 22);
                c.right(157, h, s, 22);
                c.right(180, saldo, s, 22);
            });
            return true;
        }
        // Account totals.
        state_ = State::Header;
        const QString d = Q(FormatThousands(debe_)), h = Q(FormatThousands(haber_)),
                      sal = Q(FormatSaldo(debe_ - haber_, "0,00  "));
        b = groupBand(Group::Total, line(Group::Total), [=](const Canvas& c, const TextStyle& s) {
            c.left(97.4, QStringLiteral("Totales. . ."), s, 16);
            c.right(134, d, s, 22);
            c.right(157, h, s, 22);
            c.right(180, sal, s, 22);
        });
        b.newPageAfter = hojas_;
        return true;
    }

private:
    enum class State { Header, Anterior, Detail };
    bool arrastra_, hojas_;
    State state_ = State::Header;
    std::string cod_;
    int accounts_ = 0, lines_ = 0;
    Amount debe_, haber_;
};

// ---- trial balance ----------------------------------------------------------------------

class Trial : public RowsLayout<reports::TrialRow> {
public:
    Trial(Ctx ctx, LayoutRows<reports::TrialRow> rows, Date from, Date to)
        : RowsLayout(std::move(ctx), std::move(rows)), period_(PeriodLabel(from, to)) {}
    std::unique_ptr<BandLayout> clone() const override { return std::make_unique<Trial>(*this); }

    std::string countLine() const override {
        return "KESH - Registros procesados : " + std::to_string(accounts_) + " cuenta(s) y " +
               std::to_string(lines_) + " movimientos";
    }
    bool addressWithBlanks() const override { return true; }
    void paintHeaderExtra(const Canvas& c) const override {
        c.left(94.7, Q(period_), st(Group::Pagina), 60);
    }
    static double Col(int i) { return 19.8 + 26.6 * (i + 1); }
    void paintHeadings(const Canvas& c) const override {
        paintCaptions(c, Group::Enca, {{0, "Mes-Año"}},
                      {{Col(0), "Debito-mes"}, {Col(1), "Crédito-mes"}, {Col(2), "Saldo-mes"},
                       {Col(3), "Debito-acum"}, {Col(4), "Crédito-acum"}, {Col(5), "Saldo-acum"}});
    }

    bool next(Band& b) override {
        if (!has(idx_)) return false;
        const auto& r = row(idx_);
        if (r.cod != cod_) {
            cod_ = r.cod;
            ++accounts_;
            flag_ = true; // each account's first month takes the second body colour
            const QString cod = Q(r.cod2), cta = Q(r.cuen);
            const bool dots = ctx_->settings.puntos;
            const double h = line(Group::Total);
            b = groupBand(Group::Total, h, [=](const Canvas& c, const TextStyle& s) {
                c.left(16.7, cod, s, 20);
                c.left(37.0, cta, s, 120);
                if (dots) c.dottedLine(h - 0.3, s.color);
            });
            return true;
        }
        ++idx_;
        ++lines_;
        const QString mes = QString::number(r.mes), an = QString::number(r.an);
        const QString v[6] = {Q(FormatDebeHaber(r.deb1)), Q(FormatDebeHaber(r.hab1)),
                              Q(FormatSaldo(r.sal1)),      Q(FormatDebeHaber(r.deb2)),
                              Q(FormatDebeHaber(r.hab2)), Q(FormatSaldo(r.sal2))};
        b = detail([=](const Canvas& c, const TextStyle& s) {
            c.right(6, mes, s, 6);
            c.left(6.2, QStringLiteral("-"), s, 2);
            c.left(7.6, an, s, 12);
            for (int i = 0; i < 6; ++i) c.right(Col(i), v[i], s, 26);
        });
        return true;
    }

private:
    std::string period_;
    std::string cod_;
    int accounts_ = 0, lines_ = 0;
};

// ---- balance ----------------------------------------------------------------------------

class Balance : public RowsLayout<reports::AccountRow> {
public:
    Balance(Ctx ctx, LayoutRows<reports::AccountRow> rows, std::array<bool, 6> levels, Date from,
            Date to)
        : RowsLayout(std::move(ctx), std::move(rows)), levels_(levels), period_(PeriodLabel(from, to)) {}
    std::unique_ptr<BandLayout> clone() const override { return std::make_unique<Balance>(*this); }

    std::string countLine() const override {
        return "KESH - " + std::to_string(printed_) + " registros procesados";
    }
    void paintHeaderExtra(const Canvas& c) const override {
        c.left(100, Q(period_), st(Group::Pagina), 60);
    }
    static constexpr double kLevelX[6] = {0, 91.0, 108.2, 125.4, 142.9, 160.3};
    static constexpr double kLevelW = 16.9;
    void paintHeadings(const Canvas& c) const override {
        const TextStyle& s = st(Group::Enca);
        c.fill(s.back);
        c.left(1.6, QStringLiteral("Código"), s);
        c.left(25.1, QStringLiteral("Cuenta"), s);
        const char* names[6] = {"", "Nivel 1", "Nivel 2", "Nivel 3", "Nivel 4 ", "Nivel 5"};
        for (int k = 1; k <= 5; ++k)
            c.text(kLevelX[k], kLevelW, QString::fromUtf8(names[k]), s, Qt::AlignRight);
    }

    bool next(Band& b) override {
        while (has(idx_)) {
            const auto& r = row(idx_++);
            const bool shown = r.niv >= 1 && r.niv <= 5 && levels_[r.niv];
            if (!shown) {
                flag_ = !flag_; // the colour flag toggles for every row examined
                continue;
            }
            ++printed_;
            sums_[r.niv] += r.haber - r.debe;
            const QString cod = Q(r.cod2), cta = Q(r.cuenta2),
                          sal = Q(FormatSaldo(r.saldo, "  ", 'H'));
            const double right = kLevelX[r.niv] + kLevelW;
            b = detail([=](const Canvas& c, const TextStyle& s) {
                c.left(1.6, cod, s, 20);
                c.left(21.7, cta, s, 68);
                c.right(right, sal, s, 30);
            });
            return true;
        }
        if (summaryDone_) return false;
        summaryDone_ = true;
        QString sums[6];
        for (int k = 1; k <= 5; ++k) sums[k] = Q(FormatSaldo(sums_[k], "0,00", 'D', 'C'));
        const double step = 3.7;
        b = groupBand(Group::Total, step * 5 + 1, [=](const Canvas& c, const TextStyle& s) {
            for (int k = 1; k <= 5; ++k) {
                const double x = 20 + 17 * (k - 1), y = 0.5 + step * (k - 1);
                c.text(x, 40, QStringLiteral("Suma Nivel %1..............").arg(k), s,
                       Qt::AlignLeft, y, step);
                c.text(x + 40, 30, sums[k], s, Qt::AlignRight, y, step);
            }
        });
        return true;
    }

private:
    std::array<bool, 6> levels_;
    std::string period_;
    int printed_ = 0;
    std::array<Amount, 6> sums_{};
    bool summaryDone_ = false;
};

// ---- chart listing ----------------------------------------------------------------------

class Plan : public RowsLayout<reports::AccountRow> {
public:
    using RowsLayout::RowsLayout;
    std::unique_ptr<BandLayout> clone() const override { return std::make_unique<Plan>(*this); }
    std::string countLine() const override {
        return "KESH - " + std::to_string(idx_) + " registros procesados";
    }
    Captions captions() const override {
        return {"Empresa:", "Domicilio:", "CUIT:", "Nº Ingr.Brut:"};
    }
    void paintHeadings(const Canvas& c) const override {
        paintCaptions(c, Group::Enca, {{5.8, "Código:"}, {33.6, "ID"}, {42.1, "Cuenta:"}});
    }
    bool next(Band& b) override {
        if (!has(idx_)) return false;
        const auto& r = row(idx_++);
        const QString cod = Q(r.cod2), abrev = Q(r.abrev), cta = Q(r.cuenta2);
        b = detail([=](const Canvas& c, const TextStyle& s) {
            c.left(5.8, cod, s, 22);
            c.left(28.8, abrev, s, 8.5);
            c.left(37.6, cta, s, 106.6);
        });
        return true;
    }
};

// ---- account analysis ---------------------------------------------------------------------

std::string Plain(Amount a) {
    char buf[40];
    const int64_t c = a.cents() < 0 ? -a.cents() : a.cents();
    std::snprintf(buf, sizeof buf, "%lld,%02lld", static_cast<long long>(c / 100),
                  static_cast<long long>(c % 100));
    return buf;
}

class Analysis : public RowsLayout<reports::AnalysisRow> {
public:
    using RowsLayout::RowsLayout;
    std::unique_ptr<BandLayout> clone() const override { return std::make_unique<Analysis>(*this); }
    std::string countLine() const override {
        return "KESH - " + std::to_string(idx_) + " registros procesados";
    }
    void paintHeadings(const Canvas& c) const override {
        paintCaptions(c, Group::Enca,
                      {{0.8, "Periodo"}, {38.9, "Debito"}, {88.9, "Crédito"}, {142.1, "Saldo"}});
    }
    bool next(Band& b) override {
        if (!has(idx_)) return false;
        const auto& r = row(idx_++);
        // Days: weekends take the second colour. Months: alternate.
        const bool day = !r.idstr.empty() && !std::isdigit(static_cast<unsigned char>(r.idstr[0]));
        if (day) flag_ = r.idstr.rfind("SAB", 0) == 0 || r.idstr.rfind("DOM", 0) == 0;
        const QString id = Q(r.idstr);
        const QString d = r.debe.cents() < 0 ? "(" + Q(Plain(r.debe)) + ")" : Q(Plain(r.debe));
        const QString h = r.haber.cents() < 0 ? "(" + Q(Plain(r.haber)) + ")" : Q(Plain(r.haber));
        const QString sal = Q(Plain(r.saldo) + (r.saldo.cents() < 0 ? " C" : " D"));
        const double px = kMmPerInch / 96.0;
        const double wd = r.pordebe * px, wh = r.porhaber * px, ws = r.porsaldo * px;
        const QColor saldoBar = r.porhaber < r.pordebe ? ColorRef(0xFF0000) : ColorRef(0x0000FF);
        const double lh = ctx_->lineMm;
        b = detail([=](const Canvas& c, const TextStyle& s) {
            c.left(0.5, id, s, 25.4);
            c.text(26.5, 22.5, d, s, Qt::AlignRight);
            c.line(50.5, (lh - 0.8) / 2, wd, 0.8, s.color);
            c.text(77.8, 22.5, h, s, Qt::AlignRight);
            c.line(101.9, (lh - 0.8) / 2, wh, 0.8, s.color);
            c.text(129.1, 22.5, sal, s, Qt::AlignRight);
            c.line(153.2, (lh - 0.8) / 2, ws, 0.8, saldoBar);
        }, !day);
        return true;
    }
};

} // namespace

std::string PeriodLabel(Date from, Date to) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Periodo : %02d/%04d - %02d/%04d", from.month(), from.year(),
                  to.month(), to.year());
    return buf;
}

std::unique_ptr<BandLayout> JournalLayout(Ctx ctx, LayoutRows<reports::JournalRow> rows,
                                          bool sumasIguales) {
    return std::make_unique<Journal>(std::move(ctx), std::move(rows), sumasIguales);
}
std::unique_ptr<BandLayout> LedgerLayout(Ctx ctx, LayoutRows<reports::LedgerRow> rows,
                                         bool arrastrarSaldos, bool hojasSeparadas) {
    return std::make_unique<Ledger>(std::move(ctx), std::move(rows), arrastrarSaldos, hojasSeparadas);
}
std::unique_ptr<BandLayout> TrialLayout(Ctx ctx, LayoutRows<reports::TrialRow> rows, Date from,
                                        Date to) {
    return std::make_unique<Trial>(std::move(ctx), std::move(rows), from, to);
}
std::unique_ptr<BandLayout> BalanceLayout(Ctx ctx, LayoutRows<reports::AccountRow> rows,
                                          std::array<bool, 6> levels, Date from, Date to) {
    return std::make_unique<Balance>(std::move(ctx), std::move(rows), levels, from, to);
}
std::unique_ptr<BandLayout> PlanLayout(Ctx ctx, LayoutRows<reports::AccountRow> rows) {
    return std::make_unique<Plan>(std::move(ctx), std::move(rows));
}
std::unique_ptr<BandLayout> AnalysisLayout(Ctx ctx, LayoutRows<reports::AnalysisRow> rows) {
    return std::make_unique<Analysis>(std::move(ctx), std::move(rows));
}

} // namespace kesh::print
