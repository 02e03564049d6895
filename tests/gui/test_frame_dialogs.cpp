// The frame's dialogs driven offscreen: operators and passwords, opening a company, the
// company data with its logo, and the preferences.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/context.h"
#include "app/settings.h"
#include "app/users.h"
#include "db/company.h"
#include "gui/app/abrirempresafrm.h"
#include "gui/app/contrasenafrm.h"
#include "gui/app/datosempresafrm.h"
#include "gui/app/menufrm.h"
#include "gui/app/preferenciasfrm.h"
#include "gui/app/usuariosfrm.h"
#include "gui/widgets/dialogs.h"
#include "frametest.h"

using namespace kesh;
namespace fs = std::filesystem;
namespace DS = kesh::gui::DialogScript;

using kesh::test::WhenModal;

namespace {
fs::path Home(const std::string& name) { return kesh::test::FreshInstall(name); }
} // namespace

class TestFrameDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { DS::begin(); }
    void cleanup() { DS::end(); }

    void usersScreenStoresNamesAndLevels();
    void passwordDialogChangesAndClears();
    void openDialogListsAndRemoteName();
    void openCancelReopensTheCompany();
    void openFailureKeepsTheOpenCompany();
    void companyDataKeepsQuotesAndLogo();
    void preferencesAreSaved();
};

void TestFrameDialogs::usersScreenStoresNamesAndLevels() {
    Home("dlg_users");
    UserStore store;
    TUsuariosFrm dlg(store);
    dlg.Grid->item(2, 1)->setText(QStringLiteral("Martín O'Neill"));
    qobject_cast<QComboBox*>(dlg.Grid->cellWidget(2, 2))->setCurrentIndex(1);
    dlg.Grid->item(5, 1)->setText(QString()); // left empty: the default comes back
    QVERIFY(!dlg.Grid->cellWidget(0, 2));     // the supervisor's level is fixed
    dlg.BtnOkClick();
    const UserStore back = UserStore::load(UsersIniPath());
    QCOMPARE(back.displayName(2), std::string("Martín O'Neill"));
    QCOMPARE(back.level(2), 1);
    QCOMPARE(back.displayName(5), std::string("Operador5"));
    QCOMPARE(back.level(5), 4);
}

void TestFrameDialogs::passwordDialogChangesAndClears() {
    Home("dlg_pass");
    UserStore store;
    store.setPassword(0, "vieja");
    store.setPassword(1, "uno1");
    store.save(UsersIniPath());
    {
        TContrasenaFrm dlg(store, TContrasenaFrm::Mode::Change);
        dlg.CbUsuario->setCurrentIndex(2);
        dlg.EdPass->setText(QStringLiteral("Nueva2"));
        dlg.EdConfirm->setText(QStringLiteral("otra22"));
        dlg.BtnOkClick();
        QCOMPARE(DS::last(), QStringLiteral("La contraseña no coincide"));
        QVERIFY(!UserStore::load(UsersIniPath()).hasPassword(2));
        dlg.EdConfirm->setText(QStringLiteral("NUEVA2"));
        dlg.BtnOkClick();
        QCOMPARE(DS::last(), QStringLiteral("La nueva contraseña ha sido guardada"));
    }
    UserStore saved = UserStore::load(UsersIniPath());
    QVERIFY(Login(saved, 2, "nueva2").ok);
    QVERIFY(Login(saved, 1, "uno1").ok); // the others keep theirs
    QVERIFY(Login(saved, 0, "vieja").ok);

    // Both fields empty clears the supervisor's password once confirmed: no login any more.
    TContrasenaFrm dlg(saved, TContrasenaFrm::Mode::Change);
    dlg.CbUsuario->setCurrentIndex(0);
    dlg.BtnOkClick(); // "No"
    QVERIFY(DS::last().endsWith(QStringLiteral("\nCONFIRME")));
    QVERIFY(UserStore::load(UsersIniPath()).hasPassword(0));
    DS::pushAnswer(true);
    dlg.BtnOkClick();
    QVERIFY(LoginWithoutDialog(UserStore::load(UsersIniPath()), "ana").ok);
}

void TestFrameDialogs::openDialogListsAndRemoteName() {
    const fs::path app = Home("dlg_open");
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i) {
        const std::string f = (app / ("Empresa" + std::to_string(i) + ".vrn")).string();
        if (i != 3) std::ofstream(f) << "x";
        lines.push_back(f);
    }
    db::SaveRecentList(LocalListPath(app.string()), lines);
    {
        TAbrirEmpresaFrm dlg(app.string());
        QCOMPARE(dlg.CbLocal->count(), 10);
        QCOMPARE(dlg.CbLocal->itemText(2).toStdString(), lines[3]);
        dlg.addLocal(lines[5]); // already listed: selected, no duplicate
        QCOMPARE(dlg.CbLocal->count(), 10);
        QCOMPARE(dlg.CbLocal->currentText().toStdString(), lines[5]);
        dlg.Tabs->setCurrentIndex(1);
        dlg.CbRemote->setEditText(QStringLiteral("MiServidor:/srv/kesh/Central.vrn"));
        dlg.BtnOkClick();
        QCOMPARE(dlg.companyPath(), std::string("MiServidor:/srv/kesh/Central.vrn"));
    }
    QCOMPARE(db::LoadRecentList(RemoteListPath(app.string())).front(), std::string("MiServidor:/srv/kesh/Central.vrn"));
}

void TestFrameDialogs::openCancelReopensTheCompany() {
    const fs::path app = Home("dlg_open_cancel");
    TMenuFrm w;
    QVERIFY(w.Startup());
    int reopened = 0;
    w.context().accountsBrowserOpen = true;
    w.reopenAccountsBrowser = [&reopened] { ++reopened; };
    WhenModal<TAbrirEmpresaFrm>([](TAbrirEmpresaFrm* dlg) { dlg->reject(); });
    w.actAbrir->trigger();
    QCOMPARE(reopened, 1);
    QCOMPARE(w.context().companyPath, DemoCompanyPath(app.string()));
    QCOMPARE(LoadSettings(KeshIniPath(app.string())).Base0, DemoCompanyPath(app.string()));
}

void TestFrameDialogs::openFailureKeepsTheOpenCompany() {
    const fs::path app = Home("dlg_open_fail");
    TMenuFrm w;
    QVERIFY(w.Startup());
    const std::string bad = (app / "no-es-empresa.vrn").string();
    { std::ofstream(bad) << "esto no es una base de datos"; }
    WhenModal<TAbrirEmpresaFrm>([bad](TAbrirEmpresaFrm* dlg) {
        dlg->CbLocal->setEditText(QString::fromStdString(bad));
        dlg->BtnOkClick();
    });
    DS::clearShown();
    w.actAbrir->trigger();
    QVERIFY(DS::last().startsWith(QStringLiteral("No se pudo abrir la empresa")));
    QCOMPARE(w.context().companyPath, DemoCompanyPath(app.string()));
    QCOMPARE(LoadSettings(KeshIniPath(app.string())).Base0, DemoCompanyPath(app.string()));
    QVERIFY(w.EjList->count() > 0);
}

void TestFrameDialogs::companyDataKeepsQuotesAndLogo() {
    const fs::path app = Home("dlg_datos");
    TMenuFrm w;
    QVERIFY(w.Startup());
    const QString logo = QString::fromStdString((app / "logo.png").string());
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    QVERIFY(img.save(logo));

    WhenModal<TDatosEmpresaFrm>([logo](TDatosEmpresaFrm* dlg) {
        dlg->fields.edit(&CompanyData::nombre)->setText(QStringLiteral("D'Alessandro & Cía. \"La Nueva\""));
        dlg->fields.edit(&CompanyData::obs)->setText(QStringLiteral("it's ok"));
        dlg->EdSucursal->setValue(12);
        dlg->Logo->setPath(logo);
        QVERIFY(!dlg->Logo->pixmap().isNull());
        dlg->BtnOkClick();
    });
    QMetaObject::invokeMethod(&w, [&w] {
        // The panel's "Modificar" button.
        for (QPushButton* b : w.findChildren<QPushButton*>())
            if (b->toolTip() == QStringLiteral("Modificar datos de la empresa")) b->click();
    });
    QCOMPARE(w.context().companyData.nombre, std::string("D'Alessandro & Cía. \"La Nueva\""));
    QCOMPARE(w.context().companyData.obs, std::string("it's ok"));
    QCOMPARE(w.context().companyData.sucursal, 12);
    QCOMPARE(QString::fromStdString(w.context().companyData.logo), logo);

    // A right click on the picture removes the logo.
    TDatosEmpresaFrm dlg(w.context().appDir, w.context().companyPath, w.context().companyData);
    QCOMPARE(dlg.Logo->path(), logo);
    QTest::mouseClick(dlg.Logo, Qt::RightButton);
    QVERIFY(dlg.Logo->path().isEmpty());
    dlg.BtnOkClick();
    QCOMPARE(db::ReadCompanyRecord(w.context().companyPath).data.logo, std::string());
}

void TestFrameDialogs::preferencesAreSaved() {
    const fs::path app = Home("dlg_prefs");
    TMenuFrm w;
    QVERIFY(w.Startup());
    int repaints = 0;
    w.repaintBrowsers = [&repaints] { ++repaints; };
    WhenModal<TPreferenciasFrm>([](TPreferenciasFrm* dlg) {
        QCOMPARE(dlg->LFontCuentas->text(), QStringLiteral("Tahoma"));
        dlg->ChCalc2->setChecked(true);
        dlg->ChReenumerar->setChecked(false);
        dlg->EdDesdeNumero->setValue(40);
        dlg->BtnOkClick();
    });
    w.actPreferencias->trigger();
    const Settings s = LoadSettings(KeshIniPath(app.string()));
    QVERIFY(s.CalcBalance2);
    QVERIFY(!s.Reenumeraras);
    QCOMPARE(s.DesdeNumero, 40);
    QCOMPARE(repaints, 1);
    QCOMPARE(ColorFromIni(8388608), QColor(0, 0, 128)); // kesh.ini's navy
    QCOMPARE(ColorToIni(QColor(0, 0, 128)), 8388608);
}

QTEST_MAIN(TestFrameDialogs)
#include "test_frame_dialogs.moc"
