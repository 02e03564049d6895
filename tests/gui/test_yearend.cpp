// The year-end and backup screens, offscreen, with scripted message boxes and choosers.
#include <QCheckBox>
#include <QDir>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/backup.h"
#include "app/context.h"
#include "app/maintenance.h"
#include "db/database.h"
#include "db/fiscalyears.h"
#include "entries/closing.h"
#include "gui/widgets/dialogs.h"
#include "gui/yearend/actualizarbasesfrm.h"
#include "gui/yearend/cierrefrm.h"
#include "gui/yearend/choosers.h"
#include "gui/yearend/respaldo.h"
#include "support/testsupport.h"
#include "support/yearendfixture.h"

using namespace kesh;
using namespace kesh::gui;
namespace fs = std::filesystem;

namespace {

AppContext contextFor(const std::string& company, const std::string& appName) {
    AppContext ctx;
    ctx.appDir = test::ScratchDir(appName).string();
    fs::create_directories(DataDir(ctx.appDir));
    ctx.companyPath = company;
    ctx.currentEj = db::ReadFiscalYear(company, 1).value();
    return ctx;
}

// Answers the choosers in order, recording their titles.
struct Choices {
    std::vector<QString> answers;
    std::vector<QString> titles;
    void install() {
        SetChooserHook([this](const QString& title) {
            titles.push_back(title);
            if (answers.empty()) return QString();
            QString a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    }
};

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

// With KESH_SCREENSHOT_DIR set, saves a picture of the widget there (for looking at layouts).
void screenshot(QWidget* w, const QString& name) {
    const QByteArray dir = qgetenv("KESH_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromUtf8(dir));
    w->adjustSize();
    w->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

} // namespace

class TestYearEnd : public QObject {
    Q_OBJECT
private slots:
    void init() { DialogScript::begin(); }
    void cleanup() {
        DialogScript::end();
        SetChooserHook({});
    }

    // A year with neither entry: both generation forms, dates the last day of the year, boxes
    // unticked and fields off; "Aceptar" without ticking stores the accounts and shows nothing.
    void cierreNothingTickedStoresTheAccountsOnly() {
        AppContext ctx = contextFor(test::ClosingFixtureCompany("g-none"), "g-none-app");
        ctx.settings.CodGP = "4";
        ctx.settings.CodResul = "00030002";
        int reopened = 0;
        TCierreFrm f(ctx, [&] { ++reopened; });
        QVERIFY(f.ChRefun && f.ChCierre);
        QVERIFY(!f.ChBorrarRefun && !f.ChBorrarCierre);
        QCOMPARE(f.EdFechaRefun->date(), QDate(2026, 12, 31));
        QCOMPARE(f.EdFechaCierre->date(), QDate(2026, 12, 31));
        QVERIFY(!f.ChRefun->isChecked() && !f.EdFechaRefun->isEnabled() && !f.LCodGP->isEnabled());
        QVERIFY(!f.EdFechaCierre->isEnabled());
        QCOMPARE(f.LCodGP->text(), QStringLiteral("4          RESULTADOS"));
        QCOMPARE(f.LCodResul->text(), QStringLiteral("3.2        Resultado del ejercicio"));
        f.ChRefun->setChecked(true);
        QVERIFY(f.LCodGP->isEnabled() && f.EdFechaRefun->isEnabled());
        f.ChRefun->setChecked(false);
        f.BtnOk->click();
        QCOMPARE(reopened, 0);
        QVERIFY(DialogScript::shown().empty());
        const Settings saved = LoadSettings(KeshIniPath(ctx.appDir));
        QCOMPARE(QString::fromStdString(saved.CodGP), QStringLiteral("4"));
        QCOMPARE(QString::fromStdString(saved.CodResul), QStringLiteral("00030002"));
    }

    // Both generated in one "Aceptar" (accounts picked with the picker), then both deleted.
    void cierreGenerateThenDeleteBoth() {
        const std::string company = test::ClosingFixtureCompany("g-both");
        AppContext ctx = contextFor(company, "g-both-app");
        int reopened = 0;
        auto reopen = [&] {
            ++reopened;
            ctx.currentEj = db::ReadFiscalYear(company, 1).value();
        };
        {
            TCierreFrm f(ctx, reopen);
            std::vector<int> asked;
            f.pickAccount = [&](int imp) {
                asked.push_back(imp);
                return std::string(imp == 0 ? "0004" : "00030002");
            };
            f.ChRefun->setChecked(true);
            f.LCodGP->click();
            f.LCodResul->click();
            QCOMPARE(asked, (std::vector<int>{0, 1}));
            QCOMPARE(f.LCodResul->text(), QStringLiteral("3.2        Resultado del ejercicio"));
            f.ChCierre->setChecked(true);
            screenshot(&f, QStringLiteral("cierre-generar"));
            f.BtnOk->click();
        }
        QCOMPARE(reopened, 1);
        QCOMPARE(DialogScript::last(), QStringLiteral("(1)El asiento de refundición ha sido creado\n"
                                                     "(2)El asiento de cierre ha sido creado\n"));
        QVERIFY(ctx.currentEj.idrefun > 0 && ctx.currentEj.idcierre > 0);
        QCOMPARE(QString::fromStdString(LoadSettings(KeshIniPath(ctx.appDir)).CodGP), QStringLiteral("0004"));

        TCierreFrm g(ctx, reopen);
        QVERIFY(!g.ChRefun && !g.ChCierre);
        QCOMPARE(g.LRefunCreado->text(), QStringLiteral("El asiento de Refundición de Cuentas de Resultado ya fue creado"));
        QCOMPARE(g.LCierreCreado->text(), QStringLiteral("El asiento de Cierre ya fue creado"));
        g.ChBorrarRefun->setChecked(true);
        g.ChBorrarCierre->setChecked(true);
        screenshot(&g, QStringLiteral("cierre-borrar"));
        g.BtnOk->click();
        QCOMPARE(reopened, 2);
        QCOMPARE(DialogScript::last(), QStringLiteral("(1)El asiento de Refundición ha sido borrado\n"
                                                     "(2)El asiento de Cierre ha sido borrado\n"));
        QVERIFY(!ctx.currentEj.closed());
        QCOMPARE(db::WithTransaction(company, [](db::Transaction& tr) {
                     return tr.queryInt("select count(*) from asientos");
                 }),
                 int64_t(5));
    }

    // A database error (the procedures missing from an old company) is shown and the dialog
    // stays open with nothing written.
    void cierreDatabaseErrorKeepsTheDialog() {
        const std::string company = test::ClosingFixtureCompany("g-old");
        db::Connection::open(company).executeImmediate("drop procedure pAscierre");
        AppContext ctx = contextFor(company, "g-old-app");
        int reopened = 0;
        TCierreFrm f(ctx, [&] { ++reopened; });
        f.show();
        f.ChCierre->setChecked(true);
        f.BtnOk->click();
        QCOMPARE(reopened, 0);
        QVERIFY(f.isVisible());
        QVERIFY(DialogScript::last().startsWith(QStringLiteral("al generar los asientos de cierre")));
        QCOMPARE(db::ReadFiscalYear(company, 1).value().idcierre, 0);
    }

    void respaldoCreateThenRestoreAskingBeforeReplacing() {
        Clock::setToday(Date::fromYmd(2026, 12, 9));
        const std::string company = test::ClosingFixtureCompany("g-bk");
        AppContext ctx = contextFor(company, "g-bk-app");
        const fs::path out = test::ScratchDir("g-bk-out");
        Choices c;
        c.answers = {q(out)};
        c.install();
        CrearRespaldo(nullptr, ctx);
        const fs::path zip = out / "g-bk09-12-2026.zip";
        QCOMPARE(DialogScript::last(), QStringLiteral("Se ha creado el archivo de respaldo:\n") + q(zip));
        QCOMPARE(c.titles.front(), QStringLiteral("Seleccione una carpeta donde copiar el respaldo"));

        // Restored into an empty folder.
        const fs::path target = test::ScratchDir("g-bk-target");
        c.answers = {q(zip), q(target)};
        c.titles.clear();
        RecuperarRespaldo(nullptr, ctx);
        QCOMPARE(DialogScript::last(), QStringLiteral("Respaldo recuperado."));
        QCOMPARE(c.titles.back(), QStringLiteral("Seleccione una carpeta donde copiar la empresa recuperada"));
        const std::string restored = (target / "g-bk.vrn").string();
        QCOMPARE(db::WithTransaction(restored, [](db::Transaction& tr) { return tr.queryInt("select count(*) from pases"); }),
                 int64_t(10));

        // Again into the same folder: the user is asked; "No" leaves the file alone.
        db::WithTransaction(restored, [](db::Transaction& tr) { tr.execute("delete from pases"); });
        DialogScript::begin({false});
        c.answers = {q(zip), q(target)};
        RecuperarRespaldo(nullptr, ctx);
        QVERIFY(DialogScript::last().startsWith(QStringLiteral("Ya existe:\n") + QString::fromStdString(restored)));
        QCOMPARE(db::WithTransaction(restored, [](db::Transaction& tr) { return tr.queryInt("select count(*) from pases"); }),
                 int64_t(0));
        // "Si" replaces it.
        DialogScript::begin({true});
        c.answers = {q(zip), q(target)};
        RecuperarRespaldo(nullptr, ctx);
        QCOMPARE(DialogScript::last(), QStringLiteral("Respaldo recuperado."));
        QCOMPARE(db::WithTransaction(restored, [](db::Transaction& tr) { return tr.queryInt("select count(*) from pases"); }),
                 int64_t(10));

        // Into the open company's own folder: refused without asking.
        DialogScript::begin({true});
        c.answers = {q(zip), q(fs::path(company).parent_path())};
        RecuperarRespaldo(nullptr, ctx);
        QCOMPARE(DialogScript::shown().size(), size_t(1));
        QVERIFY(DialogScript::last().contains(QStringLiteral("está abierta y no se puede reemplazar")));
        Clock::setToday(std::nullopt);
    }

    void respaldoRefusesBadArchives() {
        AppContext ctx = contextFor(test::YearCompany("g-bad"), "g-bad-app");
        const fs::path dir = test::ScratchDir("g-bad-zips");
        std::ofstream(dir / "texto.zip") << "no es zip";
        const char eocd[22] = {'P', 'K', 5, 6};
        std::ofstream(dir / "vacio.zip", std::ios::binary).write(eocd, sizeof eocd);
        Choices c;
        c.answers = {q(dir / "vacio.zip")};
        c.install();
        RecuperarRespaldo(nullptr, ctx);
        QCOMPARE(DialogScript::last(), QStringLiteral("Error - El respaldo está vacío."));
        QCOMPARE(c.titles.size(), size_t(1));  // no folder asked
        c.answers = {q(dir / "texto.zip")};
        RecuperarRespaldo(nullptr, ctx);
        QVERIFY(DialogScript::last().contains(QStringLiteral("no es un archivo zip")));
        // Cancelled choosers do nothing.
        DialogScript::clearShown();
        RecuperarRespaldo(nullptr, ctx);
        CrearRespaldo(nullptr, ctx);
        QVERIFY(DialogScript::shown().empty());
    }

    void actualizarBasesClosesRunsReopensAndReportsFailures() {
        const fs::path app = test::ScratchDir("g-upd");
        for (const auto& s : kUpdateScripts) fs::copy_file(test::AppDir() / s, app / s);
        fs::create_directories(app / "Datos");
        fs::copy_file(test::AppDir() / "kesh0.fdb", app / "Datos" / "a.vrn");
        std::ofstream(app / "Datos" / "roto.vrn") << "basura";
        std::vector<std::string> calls;
        TActualizarBasesFrm f(app.string(), "", [&] { calls.push_back("close"); }, [&] { calls.push_back("reopen"); });
        screenshot(&f, QStringLiteral("actualizar-bases"));
        f.BtnOk->click();
        QCOMPARE(calls, (std::vector<std::string>{"close", "reopen"}));
        QCOMPARE(DialogScript::shown().size(), size_t(1));
        QVERIFY(DialogScript::last().contains(QString::fromStdString("El script Dat_0108.sql falló en la empresa " +
                                                                     (app / "Datos" / "roto.vrn").string())));
        QVERIFY(!DialogScript::last().contains(QStringLiteral("a.vrn")));
        // "Cancelar" runs nothing.
        calls.clear();
        TActualizarBasesFrm g(app.string(), "", [&] { calls.push_back("close"); }, [&] { calls.push_back("reopen"); });
        g.BtnCancel->click();
        QVERIFY(calls.empty());
    }
};

QTEST_MAIN(TestYearEnd)
#include "test_yearend.moc"
