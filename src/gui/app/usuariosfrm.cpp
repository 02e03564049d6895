#include "gui/app/usuariosfrm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/context.h"
#include "gui/app/guiutil.h"
#include "gui/widgets/dialogs.h"

using namespace kesh;
using namespace kesh::gui;

TUsuariosFrm::TUsuariosFrm(UserStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("Modificar Usuarios"));
    auto* lay = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    Grid = new QTableWidget(kUserCount, 3);
    Grid->setHorizontalHeaderLabels({QStringLiteral("Nº"), QStringLiteral("USUARIO"), QStringLiteral("NIVEL")});
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int i = 0; i < kUserCount; ++i) {
        auto* n = new QTableWidgetItem(QString::number(i));
        n->setFlags(Qt::ItemIsEnabled);
        Grid->setItem(i, 0, n);
        Grid->setItem(i, 1, new QTableWidgetItem(Q(store_.storedName(i))));
        if (i == 0) {
            auto* l = new QTableWidgetItem(QStringLiteral(" 0"));
            l->setFlags(Qt::ItemIsEnabled);
            Grid->setItem(i, 2, l);
        } else {
            auto* cb = new QComboBox;
            for (int lv = 0; lv <= 4; ++lv) cb->addItem(QString::number(lv));
            cb->setCurrentIndex(store_.level(i));
            Grid->setCellWidget(i, 2, cb);
        }
    }
    Grid->setMinimumWidth(320);
    row->addWidget(Grid, 1);

    auto* box = new QGroupBox(QStringLiteral("RESTRICCIONES DE NIVELES DE USUARIOS"));
    auto* bl = new QVBoxLayout(box);
    QStringList lines;
    for (const std::string& l : LevelExplanationLines()) lines << Q(l);
    auto* text = new QLabel(lines.join(QLatin1Char('\n')));
    text->setTextFormat(Qt::PlainText);
    text->setStyleSheet(QStringLiteral("white-space: pre;"));
    bl->addWidget(text);
    row->addWidget(box);
    lay->addLayout(row);

    QPushButton* ok;
    lay->addLayout(OkCancelRow(this, ok));
    connect(ok, &QPushButton::clicked, this, &TUsuariosFrm::BtnOkClick);
}

void TUsuariosFrm::BtnOkClick() {
    for (int i = 0; i < kUserCount; ++i) {
        store_.setName(i, S(Grid->item(i, 1)->text().trimmed()));
        if (auto* cb = qobject_cast<QComboBox*>(Grid->cellWidget(i, 2))) store_.setLevel(i, cb->currentIndex());
    }
    try {
        store_.save(UsersIniPath());
    } catch (const std::exception& e) {
        ShowError(this, ErrorText(e));
        return;
    }
    accept();
}
