#pragma once
// The option dialogs opened by "Configurar informe": journal (TFDlgInfDia), ledger and trial
// balance (TDlgInfoMayor), balance and chart listing (TFDlgInfBal), account analysis
// (TDlgResCtaForm); and the account chooser they share.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <functional>
#include <optional>

#include "app/context.h"
#include "reports/reportjob.h"

namespace kesh::gui {

QDate ToQDate(Date d);
Date FromQDate(const QDate& d);

// The account search of the accounts browser ("Buscar Cuenta", then the browser in choose
// mode positioned on startCode): the chosen internal code, nothing when cancelled.
std::optional<std::string> ChooseAccount(QWidget* parent, AppContext& ctx, bool imputableOnly,
                                         const std::string& startCode = {});
// Test hook: answers instead of the chooser (nullopt = cancelled).
extern std::function<std::optional<std::string>(bool imputableOnly)> ChooseAccountHook;

// Display code padded with blanks to 10, a blank and the name; empty for no code.
QString AccountButtonText(const std::string& code, const std::string& name);

// "Rango de cuentas": start and end account buttons, the two copy arrows and the full-range
// box. Changes go straight into the report range.
class AccountRangeBox : public QGroupBox {
    Q_OBJECT
public:
    AccountRangeBox(AppContext& ctx, const QString& allCaption, QWidget* parent);
    QPushButton *CmCuentaIni, *CmCuentaFin, *BtCopiarFin, *BtCopiarIni;
    QCheckBox* checkallctas;
    bool complete() const;
signals:
    void changed();

private:
    void choose(bool start);
    void allAccounts(bool on);
    void refresh();
    AppContext& ctx_;
};

// A date pair with "Sin límite de fecha(s)".
class PeriodBox : public QGroupBox {
    Q_OBJECT
public:
    PeriodBox(AppContext& ctx, const QString& title, const QString& from, const QString& to,
              const QString& noLimit, QWidget* parent);
    QDateEdit *DesdeFech, *HastaFech;
    QCheckBox* SinLimfech;
    void store(); // into the report period
    void applyNoLimit();

private:
    AppContext& ctx_;
};

class TFDlgInfDia : public QDialog {
    Q_OBJECT
public:
    TFDlgInfDia(AppContext& ctx, reports::ReportParams& params, bool summary, QWidget* parent);
    PeriodBox* PanFecha;
    QCheckBox *SumIguales, *chapertura, *chrefun, *chcierre;
    QGroupBox* Panel1;
    QComboBox* CmAsi;
    QSpinBox* primeras;
    QPushButton *BtnOk, *BtnCancel;
    void BtnOkClick();

private:
    void CmAsiChange(int index);
    AppContext& ctx_;
    reports::ReportParams& params_;
};

class TDlgInfoMayor : public QDialog {
    Q_OBJECT
public:
    TDlgInfoMayor(AppContext& ctx, reports::ReportParams& params, bool trial, QWidget* parent);
    AccountRangeBox* Rango;
    PeriodBox* Periodo;
    QCheckBox *UnaPorHoj, *ArrastSaldos, *Totmes;
    QGroupBox* Niveles;
    QSpinBox *DeNivel, *aNivel;
    QPushButton *BtnOk, *BtnCancel;
    void BtnOkClick();

protected:
    void done(int r) override;

private:
    void check();
    AppContext& ctx_;
    reports::ReportParams& params_;
    bool trial_;
};

class TFDlgInfBal : public QDialog {
    Q_OBJECT
public:
    TFDlgInfBal(AppContext& ctx, bool plan, QWidget* parent);
    AccountRangeBox* Rango;
    QGroupBox* GrNiveles;
    QCheckBox* ChkNivel[6];
    PeriodBox* Periodo;
    QCheckBox* chkMode;
    QGroupBox* GrClases;
    QCheckBox *ChkGen, *ChkCli, *ChkProv;
    QPushButton *BtnOk, *BtnCancel;
    void BtnOkClick();

protected:
    void done(int r) override;

private:
    void check();
    AppContext& ctx_;
    bool plan_;
};

class TDlgResCtaForm : public QDialog {
    Q_OBJECT
public:
    TDlgResCtaForm(AppContext& ctx, reports::ReportParams& params, QWidget* parent);
    QPushButton* BtCuenta;
    QRadioButton *RbMes, *RbDia;
    QDateEdit* EdMes;
    QPushButton *BtnOk, *BtnCancel;
    void BtnOkClick();
    // Title and subtitle for the choice made.
    std::string title() const;
    std::string subtitle() const;

private:
    AppContext& ctx_;
    reports::ReportParams& params_;
    std::string code_, name_;
};

// Writes kesh.ini; a failure is shown, not thrown.
void SaveKeshIni(QWidget* parent, const AppContext& ctx);

} // namespace kesh::gui
