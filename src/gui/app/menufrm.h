#pragma once
// TMenuFrm: the main window. It holds the application context for the whole run (install
// folder, open company, logged-in operator, current fiscal year), the long-lived connection
// DB0 to the open company, the menus and tool bar, the left panel with the fiscal years and
// the company data, and the MDI area where the accounts and entries browsers open.
//
// Hooking up a screen: every menu entry is a public QAction (actNueva, actCuentas, ...)
// triggered into one private slot <Name>Click() in menufrm.cpp; a command whose screen is
// not there yet shows "En construcción" after its level check. Connecting a screen is a
// one-line edit of that slot's body.
//
// Menu entries (QAction member, highest UserLevel allowed, "-" = no check):
//   Empresa:      actNueva (3), actAbrir, actSalir
//   Contabilidad: actCuentas, actAsientos, actAsientosTipo, actIndices, actCierre,
//                 actImportarAsientos, actCuadroBalance (hidden),
//                 Paquete de asientos: actPaqGenerar, actPaqImportar (1),
//                 Informes: actInfPlan, actInfBalance, actInfDiario, actInfDiarioResumido,
//                 actInfMayor, actInfSumas, actInfAjuste, actInfAnalisis
//   Compras:      actComConceptos (1), actProveedores, actComTipos (1), actAsientosCompras,
//                 Informes: actLibroIvaCompras, Generador: actGenProveedores, actGenCompras
//   Ventas:       actVenConceptos (1), actClientes, actVenTipos (1), actAsientosVentas,
//                 Informes: actLibroIvaVentas, actPosicionIva, Generador: actGenClientes,
//                 actGenVentas, actDiscontinuidad
//   Utilidades:   actCopiarDatos (1), actActualizarBases, Importar: actImportarKardo (1),
//                 actImportarVexal, actImportarComprobantes; actProcesosUtiles (hidden),
//                 actCrearRespaldo, actRecuperarRespaldo (1), actUsuarios (0),
//                 actContrasenas (0), actBorrarAsientos (1 when the deletion is confirmed:
//                 the screen checks it), actPreferencias
//   Ayuda:        actContenido, actAcercaDe

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/context.h"
#include "app/users.h"
#include "db/company.h"
#include "db/database.h"

class QAction;
class QCheckBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMdiArea;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;

class TMenuFrm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMenuFrm(QWidget* parent = nullptr);
    ~TMenuFrm() override;

    // The start-up sequence: install folder, settings, operator store, login, data folder,
    // demo company, settings written, the company of Base0 opened. False when the login
    // failed or was cancelled (the program then ends without a message), or when no company
    // could be opened at all (the error was shown).
    bool Startup();

    kesh::AppContext& context() { return ctx_; }
    const kesh::AppContext& context() const { return ctx_; }
    kesh::UserStore& userStore() { return users_; }
    QMdiArea* mdiArea() const { return mdi_; }
    // DB0: the main window's own connection to the open company (open after OpenCompany).
    kesh::db::Connection& mainConnection();

    // Reloads everything shown for context().companyPath: DB0, fiscal years, company record,
    // report period, chart bounds; reopens the browsers that were open; applies the
    // enabling rule. The first year becomes current. On a database error the message is
    // shown, the previous company stays, and false is returned.
    bool OpenCompany();
    // Same, keeping year `yearId` current when it still exists.
    bool OpenCompanyKeeping(int yearId);

    // True when the operator may run a command allowed up to maxLevel; otherwise shows
    // "Usuario no autorizado para esta operación." and returns false.
    bool CheckLevel(int maxLevel);

    // Writes kesh.ini from the context (Base0 = CompanyPath, currusr = UserIndex). Errors
    // are shown, never thrown.
    void SaveSettings();

    // Set by the screens that own them: reopen a browser after a company or year change
    // (called by OpenCompany when the matching open flag is set), recalculate the stored
    // balances on closing with CalcBalance2 (RecalculateBalances when not set), offer the standard chart to a new company, and
    // repaint the open browsers after a font change.
    std::function<void()> reopenAccountsBrowser;
    std::function<void()> reopenEntriesBrowser;
    std::function<void()> recalcBalances;
    std::function<void()> offerStandardChart;
    std::function<void()> repaintBrowsers;

    // Left panel width for a screen width when the panel is open (140, wider from 1000 px).
    static int LeftPanelWidth(int screenWidth);

    // ---- menu entries -------------------------------------------------------------------
    QAction *actNueva, *actAbrir, *actSalir;
    QAction *actCuentas, *actAsientos, *actAsientosTipo, *actIndices, *actCierre,
        *actImportarAsientos, *actCuadroBalance, *actPaqGenerar, *actPaqImportar, *actInfPlan,
        *actInfBalance, *actInfDiario, *actInfDiarioResumido, *actInfMayor, *actInfSumas,
        *actInfAjuste, *actInfAnalisis;
    QAction *actComConceptos, *actProveedores, *actComTipos, *actAsientosCompras,
        *actLibroIvaCompras, *actGenProveedores, *actGenCompras;
    QAction *actVenConceptos, *actClientes, *actVenTipos, *actAsientosVentas, *actLibroIvaVentas,
        *actPosicionIva, *actGenClientes, *actGenVentas, *actDiscontinuidad;
    QAction *actCopiarDatos, *actActualizarBases, *actImportarKardo, *actImportarVexal,
        *actImportarComprobantes, *actProcesosUtiles, *actCrearRespaldo, *actRecuperarRespaldo,
        *actUsuarios, *actContrasenas, *actBorrarAsientos, *actPreferencias;
    QAction *actContenido, *actAcercaDe;

    // Sub-menus whose enabling follows the current fiscal year.
    QMenu *mnuPaquete, *mnuInformes, *mnuCompras, *mnuVentas;

    // Widgets tests and other screens read.
    QListWidget* EjList = nullptr;
    QLabel* LCurrEj = nullptr;
    QToolBar* Panel1 = nullptr;
    QToolButton* BtnLat = nullptr;
    QWidget* pLeft = nullptr;
    QFrame* PnlEdit = nullptr;        // the fiscal-year edit panel
    QLineEdit* EdDescrip = nullptr;
    QDateEdit* EdFecha1 = nullptr;
    QDateEdit* EdFecha2 = nullptr;
    QCheckBox* ChGenApe = nullptr;
    QPushButton* BtEjAceptar = nullptr;
    std::vector<QToolButton*> toolButtons; // the 15 buttons in tool-bar order

    // Fiscal-year commands (public so tests and keyboard users reach them the same way).
    void BtAgregarClick();
    void BtModificarClick();
    void BtBorrarClick();
    void BtEjAceptarClick();
    void BtEjCancelarClick();
    // Makes the selected list item the current fiscal year (with the date warnings).
    void SelectCurrentYear();
    // Applies the BtnLat rule to the left panel.
    void ApplyLeftPanelWidth();
    void ToggleLeftPanel(); // F11

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildLeftPanel();
    QAction* addEntry(QMenu* menu, const QString& caption, void (TMenuFrm::*slot)());
    void fillYearList();
    void fillCompanyPanel();
    void applyEnablingRule();
    void resizeYearBlock();
    void timerTick();
    void yearItemChanged(QListWidgetItem* item);
    void enConstruccion();
    // The entries browser with a view (entries::View), reopened the same way after a reload.
    void OpenEntriesBrowser(int view);
    void setLeftWidth(int w);
    void takeDailyCopy();
    bool loginAtStartup();

    // One slot per menu entry.
    void NuevaClick();
    void AbrirClick();
    void SalirClick();
    void CuentasClick();
    void AsientosClick();
    void AsientosTipoClick();
    void IndicesClick();
    void CierreClick();
    void ImportarAsientosClick();
    void CuadroBalanceClick();
    void PaqGenerarClick();
    void PaqImportarClick();
    void InfPlanClick();
    void InfBalanceClick();
    void InfDiarioClick();
    void InfDiarioResumidoClick();
    void InfMayorClick();
    void InfSumasClick();
    void InfAjusteClick();
    void InfAnalisisClick();
    void ComConceptosClick();
    void ProveedoresClick();
    void ComTiposClick();
    void AsientosComprasClick();
    void LibroIvaComprasClick();
    void GenProveedoresClick();
    void GenComprasClick();
    void VenConceptosClick();
    void ClientesClick();
    void VenTiposClick();
    void AsientosVentasClick();
    void LibroIvaVentasClick();
    void PosicionIvaClick();
    void GenClientesClick();
    void GenVentasClick();
    void DiscontinuidadClick();
    void CopiarDatosClick();
    void ActualizarBasesClick();
    void ImportarKardoClick();
    void ImportarVexalClick();
    void ImportarComprobantesClick();
    void ProcesosUtilesClick();
    void CrearRespaldoClick();
    void RecuperarRespaldoClick();
    void UsuariosClick();
    void ContrasenasClick();
    void BorrarAsientosClick();
    void PreferenciasClick();
    void ContenidoClick();
    void AcercaDeClick();
    void DatosEmpresaClick();

    kesh::AppContext ctx_;
    kesh::UserStore users_;
    std::optional<kesh::db::Connection> db0_;
    std::vector<kesh::FiscalYear> years_;

    QMdiArea* mdi_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTimer* timer_ = nullptr;
    QWidget* yearBlock_ = nullptr;
    QWidget* companyBlock_ = nullptr;
    QLabel* editTitle_ = nullptr;
    QLabel* userLabel_ = nullptr;
    std::vector<std::pair<QLabel*, std::string kesh::CompanyData::*>> companyValues_;
    QLabel* sucValue_ = nullptr;
    bool editAdding_ = false;
    int editId_ = 0;
    int rememberedIndex_ = 0;
    bool clearingMarks_ = false;
    bool closing_ = false;
    std::vector<QToolButton*> yearButtons_; // tool buttons disabled without a current year
};
