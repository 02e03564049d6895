// The main window driven as a user would, offscreen: first start, login, creating a company
// and a year, the enabling rule, level checks and the daily copy on close.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/backup_daily.h"
#include "app/context.h"
#include "app/settings.h"
#include "app/users.h"
#include "db/company.h"
#include "db/fiscalyears.h"
#include "gui/app/contrasenafrm.h"
#include "gui/app/menufrm.h"
#include "gui/app/nuevaempresafrm.h"
#include "gui/widgets/dialogs.h"
#include "frametest.h"

using namespace kesh;
namespace fs = std::filesystem;
namespace DS = kesh::gui::DialogScript;

namespace {

using kesh::test::WhenModal;

struct Install {
    fs::path home;
    explicit Install(const std::string& name) : home(kesh::test::FreshInstall(name).parent_path()) {}
    std::string app() const { return (home / "app").string(); }
};

void FillNewCompany(TNuevaEmpresaFrm* dlg, const QString& name, bool withYear) {
    QLineEdit* nombre = dlg->fields.edit(&CompanyData::nombre);
    nombre->setText(name);
    emit nombre->editingFinished();
    dlg->fields.edit(&CompanyData::domicilio)->setText(QStringLiteral("Calle 'Los Álamos' 12"));
    dlg->ChEjercicio->setChecked(withYear);
    dlg->EdEjDescrip->setText(QStringLiteral("Ejercicio 2026"));
    dlg->EdEjFecha1->setDate(QDate(2026, 1, 1));
    dlg->EdEjFecha2->setDate(QDate(2026, 12, 31));
    dlg->Revalidate(true);
}

} // namespace

class TestMenuFrm : public QObject {
    Q_OBJECT
private slots:
    void init() { DS::begin(); }
    void cleanup() { DS::end(); }

    void firstStartCreatesFolderDemoAndSettings();
    void menusToolBarAndPanelWidth();
    void loginSucceedsAndFails();
    void levelChecksOnNuevaAndUsuarios();
    void createCompanyAndReopenAfterRestart();
    void existingCompanyFileIsRefused();
    void enablingRuleFollowsTheCurrentYear();
    void ticksAreStoredAndOldYearsWarn();
    void closingRecalculatesBalancesWhenAsked();
};

void TestMenuFrm::firstStartCreatesFolderDemoAndSettings() {
    Install in("gui_first");
    QVERIFY(!fs::exists(in.home / "app" / "kesh.ini"));
    auto* w = new TMenuFrm;
    QVERIFY(w->Startup());
    const std::string demo = DemoCompanyPath(in.app());
    QVERIFY(fs::exists(demo));
    QCOMPARE(w->context().companyPath, demo);
    const Settings s = LoadSettings(KeshIniPath(in.app()));
    QCOMPARE(s.Base0, demo);
    QCOMPARE(w->context().userName, std::string("Supervisor"));
    QVERIFY(w->EjList->count() >= 1);
    QVERIFY(w->context().currentEj.id != 0);
    QVERIFY(w->actAsientos->isEnabled());
    QVERIFY(!w->context().companyData.nombre.empty());

    w->resize(1280, 720);
    w->show();
    QTest::qWait(600); // one timer tick: caption and cleared tick marks
    QCOMPARE(w->windowTitle(), QStringLiteral("KESH [%1][%2]").arg(QString::fromStdString(demo), w->LCurrEj->text()));
    if (const QByteArray dir = qgetenv("KESH_SCREENSHOT_DIR"); !dir.isEmpty()) {
        QDir().mkpath(QString::fromUtf8(dir));
        QVERIFY(w->grab().save(QString::fromUtf8(dir) + QStringLiteral("/main-window.png")));
        WhenModal<TNuevaEmpresaFrm>([dir](TNuevaEmpresaFrm* dlg) {
            FillNewCompany(dlg, QStringLiteral("Pérez & Hijos S.A."), true);
            dlg->adjustSize();
            dlg->grab().save(QString::fromUtf8(dir) + QStringLiteral("/nueva-empresa.png"));
            dlg->reject();
        });
        w->actNueva->trigger();
    }

    // Closing takes the daily copy once every connection is closed: it opens as a company.
    w->close();
    delete w;
    const std::string copy = BackupDir(in.app()) + "/" + DailyCopyName(demo, Clock::today());
    QVERIFY(fs::exists(copy));
    QCOMPARE(db::ReadCompanyRecord(copy).data.nombre, db::ReadCompanyRecord(demo).data.nombre);
}

void TestMenuFrm::menusToolBarAndPanelWidth() {
    Install in("gui_menus");
    TMenuFrm w;
    QVERIFY(w.Startup());
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({"&Empresa", "&Contabilidad", "C&ompras", "&Ventas", "&Utilidades", "&Ayuda"}));
    QVERIFY(!w.actCuadroBalance->isVisible());
    QVERIFY(!w.actProcesosUtiles->isVisible());
    QCOMPARE(w.actContrasenas->text(), QStringLiteral("C&ontraseñas..."));
    QCOMPARE(w.toolButtons.size(), size_t(15));
    QCOMPARE(w.toolButtons.front()->toolTip(), QStringLiteral("Crear nueva empresa"));

    const int widths[][2] = {{900, 140}, {1000, 140}, {1280, 182}, {2000, 215}};
    for (const auto& c : widths) QCOMPARE(TMenuFrm::LeftPanelWidth(c[0]), c[1]);
    // What "&Cuentas..." opens is tested with the accounts screens (test_accounts_menu).
}

void TestMenuFrm::loginSucceedsAndFails() {
    Install in("gui_login");
    UserStore users;
    users.setPassword(0, "jefe");
    users.setPassword(3, "abc");
    users.setLevel(3, 2);
    users.save(UsersIniPath());

    {
        TMenuFrm w;
        WhenModal<TContrasenaFrm>([](TContrasenaFrm* dlg) {
            QVERIFY(dlg->EdConfirm->isHidden());
            dlg->CbUsuario->setCurrentIndex(3);
            dlg->EdPass->setText(QStringLiteral("ab"));
            QVERIFY(!dlg->BtnOk->isEnabled()); // an operator needs 3 characters
            dlg->EdPass->setText(QStringLiteral("ABC"));
            QVERIFY(dlg->BtnOk->isEnabled());
            dlg->BtnOk->click();
        });
        QVERIFY(w.Startup());
        QCOMPARE(w.context().userIndex, 3);
        QCOMPARE(w.context().userLevel, 2);
        QCOMPARE(w.context().userName, std::string("Operador3"));
        QCOMPARE(LoadSettings(KeshIniPath(in.app())).currusr, 3);
    }
    for (const char* typed : {"otra", ""}) {
        TMenuFrm w;
        WhenModal<TContrasenaFrm>([typed](TContrasenaFrm* dlg) {
            dlg->CbUsuario->setCurrentIndex(0);
            dlg->EdPass->setText(QString::fromUtf8(typed));
            dlg->BtnOk->click();
        });
        QVERIFY(!w.Startup()); // a wrong password ends the program
    }
    {
        TMenuFrm w;
        WhenModal<TContrasenaFrm>([](TContrasenaFrm* dlg) { dlg->reject(); });
        QVERIFY(!w.Startup()); // so does "Cancelar"
    }
}

void TestMenuFrm::levelChecksOnNuevaAndUsuarios() {
    Install in("gui_levels");
    UserStore users;
    users.setPassword(0, "jefe");
    for (int i = 1; i <= 4; ++i) {
        users.setPassword(i, "clave");
        users.setLevel(i, i);
    }
    users.save(UsersIniPath());
    const QString refused = QStringLiteral("Usuario no autorizado para esta operación.");
    struct Case {
        int user;
        bool nueva;
        bool usuarios;
    };
    const Case cases[] = {{1, true, false}, {3, true, false}, {4, false, false}};
    for (const Case& c : cases) {
        TMenuFrm w;
        WhenModal<TContrasenaFrm>([c](TContrasenaFrm* dlg) {
            dlg->CbUsuario->setCurrentIndex(c.user);
            dlg->EdPass->setText(QStringLiteral("CLAVE"));
            dlg->BtnOk->click();
        });
        QVERIFY(w.Startup());
        QCOMPARE(w.context().userLevel, c.user);
        DS::clearShown();
        if (c.nueva) WhenModal<TNuevaEmpresaFrm>([](TNuevaEmpresaFrm* dlg) { dlg->reject(); });
        w.actNueva->trigger();
        QCOMPARE(DS::last() == refused, !c.nueva);
        DS::clearShown();
        w.actUsuarios->trigger();
        QCOMPARE(DS::last() == refused, !c.usuarios);
        DS::clearShown();
        w.actContrasenas->trigger();
        QCOMPARE(DS::last() == refused, !c.usuarios);
    }
}

void TestMenuFrm::createCompanyAndReopenAfterRestart() {
    Install in("gui_create");
    const QString name = QStringLiteral("O'Hara & Pérez S.A.");
    const std::string expected = DataDir(in.app()) + "/ohara&pérezsa.vrn";
    {
        TMenuFrm w;
        QVERIFY(w.Startup());
        WhenModal<TNuevaEmpresaFrm>([name](TNuevaEmpresaFrm* dlg) {
            FillNewCompany(dlg, name, true);
            QCOMPARE(dlg->EdArchivo->text(), QStringLiteral("ohara&pérezsa"));
            QVERIFY(dlg->BtnOk->isEnabled());
            dlg->BtnOk->click();
        });
        w.actNueva->trigger();
        QCOMPARE(w.context().companyPath, expected);
        QCOMPARE(QString::fromStdString(w.context().companyData.nombre), name);
        QCOMPARE(w.context().companyData.domicilio, std::string("Calle 'Los Álamos' 12"));
        QCOMPARE(w.EjList->count(), 1);
        QVERIFY(w.context().currentEj.id != 0);
        QCOMPARE(db::LoadRecentList(LocalListPath(in.app())).front(), expected);
        // A second year through the panel.
        w.BtAgregarClick();
        QCOMPARE(w.EdFecha1->date(), QDate(2027, 1, 1));
        w.EdDescrip->setText(QStringLiteral("Ejercicio 2027"));
        w.BtEjAceptarClick();
        QCOMPARE(w.EjList->count(), 2);
        w.close();
    }
    TMenuFrm again;
    QVERIFY(again.Startup());
    QCOMPARE(again.context().companyPath, expected);
    QCOMPARE(again.EjList->count(), 2);
}

void TestMenuFrm::existingCompanyFileIsRefused() {
    Install in("gui_exists");
    TMenuFrm w;
    QVERIFY(w.Startup());
    const std::string target = DataDir(in.app()) + "/ocupada.vrn";
    { std::ofstream(target) << "no tocar"; }
    bool stayedOpen = false;
    WhenModal<TNuevaEmpresaFrm>([&stayedOpen](TNuevaEmpresaFrm* dlg) {
        FillNewCompany(dlg, QStringLiteral("Ocupada"), false);
        dlg->BtnOk->click();
        stayedOpen = dlg->isVisible();
        dlg->reject();
    });
    w.actNueva->trigger();
    QVERIFY(stayedOpen);
    QCOMPARE(DS::last(), QString::fromUtf8(db::kCompanyFileExists));
    std::ifstream f(target);
    std::string content((std::istreambuf_iterator<char>(f)), {});
    QCOMPARE(content, std::string("no tocar"));
    QCOMPARE(w.context().companyPath, DemoCompanyPath(in.app()));
}

void TestMenuFrm::enablingRuleFollowsTheCurrentYear() {
    Install in("gui_enabling");
    const std::string path = DataDir(in.app()) + "/sinejercicio.vrn";
    CompanyData d;
    d.nombre = "Sin Ejercicio";
    db::CreateCompany(EmptyTemplatePath(in.app()), path, d, std::nullopt);
    Settings s;
    s.Base0 = path;
    SaveSettings(KeshIniPath(in.app()), s);

    TMenuFrm w;
    QVERIFY(w.Startup());
    QCOMPARE(w.context().companyPath, path);
    QCOMPARE(w.EjList->count(), 0);
    QCOMPARE(w.context().currentEj.id, 0);
    for (QAction* a : {w.actAsientos, w.actCierre, w.mnuPaquete->menuAction(), w.mnuInformes->menuAction(),
                       w.mnuCompras->menuAction(), w.mnuVentas->menuAction()})
        QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
    QVERIFY(w.actCuentas->isEnabled());
    QVERIFY(!w.toolButtons[3]->isEnabled()); // "Asientos"
    QVERIFY(w.toolButtons[2]->isEnabled());  // "Cuentas"

    DS::clearShown();
    w.BtAgregarClick();
    w.BtEjAceptarClick(); // no description
    QCOMPARE(DS::last(), QStringLiteral("Debe asignar un nombre al ejercicio"));
    QCOMPARE(w.EjList->count(), 0);
    w.EdDescrip->setText(QStringLiteral("Primer ejercicio"));
    w.BtEjAceptarClick();
    QCOMPARE(w.EjList->count(), 1);
    QVERIFY(w.context().currentEj.id != 0);
    QVERIFY(w.actAsientos->isEnabled());
    QVERIFY(w.mnuCompras->menuAction()->isEnabled());
    QVERIFY(w.toolButtons[3]->isEnabled());

    // Deleting the only year disables them again.
    DS::pushAnswer(true);
    w.BtBorrarClick();
    QCOMPARE(w.EjList->count(), 0);
    QVERIFY(!w.actAsientos->isEnabled());
}

void TestMenuFrm::ticksAreStoredAndOldYearsWarn() {
    Install in("gui_ticks");
    TMenuFrm w;
    QVERIFY(w.Startup());
    const std::string path = w.context().companyPath;
    const int oldId = db::WithTransaction(path, [](db::Transaction& tr) {
        return db::AddFiscalYear(tr, "Muy viejo", Clock::today().addDays(-7300), Clock::today().addDays(-6936));
    });
    QVERIFY(w.OpenCompany());
    QCOMPARE(w.EjList->count(), 2);

    // Ticking an item stores "+"; the timer then clears the mark but not the stored flag.
    QListWidgetItem* first = w.EjList->item(0);
    const int firstId = db::FiscalYearItemId(first->text().toStdString());
    first->setCheckState(Qt::Checked);
    QVERIFY(db::ReadFiscalYear(path, firstId)->ticked());
    QTest::qWait(600);
    QCOMPARE(first->checkState(), Qt::Unchecked);
    QVERIFY(db::ReadFiscalYear(path, firstId)->ticked());

    // Making the old year current warns about its start date.
    DS::clearShown();
    w.EjList->setCurrentRow(1);
    w.SelectCurrentYear();
    QCOMPARE(w.context().currentEj.id, oldId);
    const auto& shown = DS::shown();
    QVERIFY(std::find(shown.begin(), shown.end(), QStringLiteral("Por favor verifique la fecha de Inicio de Ejercicio.")) != shown.end());
    QVERIFY(w.LCurrEj->text().endsWith(QStringLiteral("Muy viejo")));
}

void TestMenuFrm::closingRecalculatesBalancesWhenAsked() {
    Install in("gui_calcbalance");
    auto* w = new TMenuFrm;
    QVERIFY(w->Startup());
    const std::string path = w->context().companyPath;
    auto rows = [&path] {
        return db::WithTransaction(path, [](db::Transaction& tr) { return tr.queryInt("select count(*) from balance"); });
    };
    const int year = w->context().currentEj.id;
    db::WithTransaction(path, [year](db::Transaction& tr) {
        const std::string cod = tr.queryText("select min(cod) from cuentas where imp = 1");
        tr.execute("insert into pases (idasi, idej, cod, dh, importe) values (0, ?, ?, 'D', 100)", {year, cod});
        tr.execute("delete from balance");
    });
    QCOMPARE(rows(), int64_t(0));
    w->context().settings.CalcBalance2 = true;
    w->close();
    delete w;
    QVERIFY(rows() > 0); // the line's account has its balance again
}

QTEST_MAIN(TestMenuFrm)
#include "test_menufrm.moc"
