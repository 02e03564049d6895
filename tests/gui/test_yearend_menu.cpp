// The year end as a user does it from the main window, offscreen: close the year through
// "Asientos de Cierre...", add the next year with its opening entry, back the company up,
// delete its file, restore it and find every entry again.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <map>

#include "app/context.h"
#include "app/settings.h"
#include "db/database.h"
#include "db/fiscalyears.h"
#include "gui/app/menufrm.h"
#include "gui/widgets/dialogs.h"
#include "gui/yearend/choosers.h"
#include "gui/yearend/cierrefrm.h"
#include "frametest.h"
#include "support/testsupport.h"
#include "support/yearendfixture.h"

using namespace kesh;
using namespace kesh::gui;
namespace fs = std::filesystem;
namespace DS = kesh::gui::DialogScript;

namespace {

int64_t count(const std::string& dsn, const char* sql) {
    return db::WithTransaction(dsn, [&](db::Transaction& tr) { return tr.queryInt(sql); });
}

} // namespace

class TestYearEndMenu : public QObject {
    Q_OBJECT
private slots:
    void init() { DS::begin(); }
    void cleanup() {
        DS::end();
        SetChooserHook({});
    }

    void closeYearOpenNextBackUpAndRestore() {
        const fs::path app = test::FreshInstall("menu-home");
        const fs::path home = app.parent_path();
        fs::create_directories(app / "Datos");
        const std::string company = (app / "Datos" / "pampa.vrn").string();
        fs::copy_file(test::ClosingFixtureCompany("menu-company"), company);
        Settings s;
        s.Base0 = company;
        s.CodGP = "4";
        s.CodResul = "3.2";
        SaveSettings(KeshIniPath(app.string()), s);

        auto* w = new TMenuFrm;
        QVERIFY(w->Startup());
        w->show();
        QCOMPARE(w->context().companyPath, company);
        QCOMPARE(w->context().currentEj.id, 1);

        // Contabilidad > "Asientos de Cierre...": both entries at once.
        test::WhenModal<TCierreFrm>([](TCierreFrm* f) {
            f->ChRefun->setChecked(true);
            f->ChCierre->setChecked(true);
            f->BtnOk->click();
        });
        w->actCierre->trigger();
        QCOMPARE(DS::last(), QStringLiteral("(1)El asiento de refundición ha sido creado\n"
                                           "(2)El asiento de cierre ha sido creado\n"));
        QVERIFY(w->context().currentEj.closed());
        QVERIFY(w->EjList->item(0)->text().contains(QStringLiteral("!#")));
        QVERIFY(test::YearBalances(company, 1).empty());

        // "Agregar" the next year with "Generar Asiento de Apertura".
        w->BtAgregarClick();
        QVERIFY(w->ChGenApe->isVisible());  // offered: the current year has its closing entry
        w->EdDescrip->setText(QStringLiteral("Ejercicio 2027"));
        w->ChGenApe->setChecked(true);
        w->BtEjAceptarClick();
        QCOMPARE(w->EjList->count(), 2);
        const auto years = db::LoadFiscalYears(company);
        const int next = years.back().id;
        QCOMPARE(test::YearBalances(company, next), (std::map<std::string, std::string>{{"00010001", "13799.50"},
                                                                              {"00010002", "2900.01"},
                                                                              {"00020001", "-3000.00"},
                                                                              {"00030001", "-10000.00"},
                                                                              {"00030002", "-3699.51"}}));
        const int64_t entries = count(company, "select count(*) from asientos");
        const int64_t lines = count(company, "select count(*) from pases");

        // Utilidades > "Crear respaldo...".
        Clock::setToday(Date::fromYmd(2027, 1, 5));
        const fs::path out = home / "respaldos";
        fs::create_directories(out);
        SetChooserHook([out](const QString&) { return QString::fromStdString(out.string()); });
        w->actCrearRespaldo->trigger();
        const fs::path zip = out / "pampa05-01-2027.zip";
        QCOMPARE(DS::last(), QStringLiteral("Se ha creado el archivo de respaldo:\n") + QString::fromStdString(zip.string()));

        // An operator of level 2 may not restore.
        const int level = w->context().userLevel;
        w->context().userLevel = 2;
        w->actRecuperarRespaldo->trigger();
        QCOMPARE(DS::last(), QStringLiteral("Usuario no autorizado para esta operación."));
        w->context().userLevel = level;

        // The company file is lost; the restore brings it back with every entry.
        w->close();
        delete w;
        fs::remove(company);
        auto* again = new TMenuFrm;
        QVERIFY(again->Startup());  // opens the demo company instead
        std::vector<QString> answers = {QString::fromStdString(zip.string()),
                                        QString::fromStdString((app / "Datos").string())};
        SetChooserHook([&answers](const QString&) {
            QString a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
        again->actRecuperarRespaldo->trigger();
        QCOMPARE(DS::last(), QStringLiteral("Respaldo recuperado."));
        QCOMPARE(count(company, "select count(*) from asientos"), entries);
        QCOMPARE(count(company, "select count(*) from pases"), lines);
        QVERIFY(db::ReadFiscalYear(company, 1).value().closed());
        QCOMPARE(test::YearBalances(company, next).size(), size_t(5));
        again->close();
        delete again;
        Clock::setToday(std::nullopt);
    }
};

QTEST_MAIN(TestYearEndMenu)
#include "test_yearend_menu.moc"
