#include "gui/app/abrirempresafrm.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/context.h"
#include "db/company.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

TAbrirEmpresaFrm::TAbrirEmpresaFrm(const std::string& appDir, QWidget* parent)
    : QDialog(parent), appDir_(appDir) {
    setWindowTitle(QStringLiteral("Abrir Empresa"));
    setMinimumWidth(520);
    auto* lay = new QVBoxLayout(this);
    Tabs = new QTabWidget;

    auto* localTab = new QWidget;
    auto* ll = new QVBoxLayout(localTab);
    ll->addWidget(new QLabel(QStringLiteral("SELECCIONAR UNA EMPRESA DESDE UN DISCO LOCAL")));
    auto* row = new QHBoxLayout;
    CbLocal = new QComboBox;
    CbLocal->setEditable(true);
    CbLocal->setInsertPolicy(QComboBox::NoInsert);
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Abrir base"));
    browse->setFixedWidth(30);
    row->addWidget(CbLocal, 1);
    row->addWidget(browse);
    ll->addLayout(row);
    ll->addStretch(1);
    Tabs->addTab(localTab, QStringLiteral("Disco local"));

    auto* remoteTab = new QWidget;
    auto* rl = new QVBoxLayout(remoteTab);
    rl->addWidget(new QLabel(QStringLiteral("SELECCIONAR UNA EMPRESA DESDE UN DISCO DE RED")));
    rl->addWidget(new QLabel(QStringLiteral("Ingrese abajo la ruta de acceso completa en el servidor. Por ejemplo:")));
    rl->addWidget(new QLabel(QStringLiteral("miservidor:/home/kesh/empresas/miempresa.vrn")));
    CbRemote = new QComboBox;
    CbRemote->setEditable(true);
    CbRemote->setInsertPolicy(QComboBox::NoInsert);
    rl->addWidget(CbRemote);
    rl->addStretch(1);
    Tabs->addTab(remoteTab, QStringLiteral("Disco de red"));
    lay->addWidget(Tabs);

    QPushButton* ok;
    lay->addLayout(OkCancelRow(this, ok));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TAbrirEmpresaFrm::BtnOkClick);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getOpenFileName(
            this, QStringLiteral("Abrir base"), Q(DataDir(appDir_)),
            QStringLiteral("Kz Account file (*.vrn);;Kardo 2001 file (*.bdc)"));
        if (!f.isEmpty()) addLocal(S(f));
    });
    connect(CbLocal, &QComboBox::activated, this, [this](int i) {
        if (i >= 0 && i < static_cast<int>(local_.size())) addLocal(local_[i]);
    });

    try {
        local_ = db::ExistingLocalEntries(db::LoadRecentList(LocalListPath(appDir_)));
        remote_ = db::LoadRecentList(RemoteListPath(appDir_));
        if (remote_.size() > db::kRecentMax) remote_.resize(db::kRecentMax);
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
    }
    refill(CbLocal, local_, 0);
    refill(CbRemote, remote_, 0);
}

void TAbrirEmpresaFrm::refill(QComboBox* cb, const std::vector<std::string>& list, size_t select) {
    QSignalBlocker block(cb);
    cb->clear();
    for (const std::string& s : list) cb->addItem(Q(s));
    if (!list.empty()) cb->setCurrentIndex(static_cast<int>(select));
}

void TAbrirEmpresaFrm::addLocal(const std::string& name) {
    refill(CbLocal, local_, db::AddRecent(local_, name));
}

void TAbrirEmpresaFrm::addRemote(const std::string& name) {
    refill(CbRemote, remote_, db::AddRecent(remote_, name));
}

void TAbrirEmpresaFrm::BtnOkClick() {
    const bool remote = Tabs->currentIndex() == 1;
    const std::string text = S((remote ? CbRemote : CbLocal)->currentText().trimmed());
    if (text.empty()) {
        ShowMessage(this, QStringLiteral("Debe indicar la empresa a abrir."));
        return;
    }
    try {
        if (remote) {
            addRemote(text);
            db::SaveRecentList(RemoteListPath(appDir_), remote_);
        } else {
            addLocal(text);
            db::SaveRecentList(LocalListPath(appDir_), local_);
        }
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
    }
    chosen_ = text;
    accept();
}
