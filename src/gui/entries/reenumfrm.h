#pragma once
// The two year-wide operations on entries: the renumbering dialog ("Reenumerar Asientos") and
// the bulk deletion dialog ("BORRAR ASIENTOS").

#include <QDialog>

#include "app/context.h"

class QCheckBox;
class QDateEdit;
class QSpinBox;

namespace kesh::gui {

class TReenumFrm : public QDialog {
    Q_OBJECT
public:
    explicit TReenumFrm(QWidget* parent = nullptr);
    int firstNumber() const;
    bool recalculate() const;

    QSpinBox* EdDesde = nullptr;
    QCheckBox* ChRecalc = nullptr;
};

class TBorrarAsiFrm : public QDialog {
    Q_OBJECT
public:
    explicit TBorrarAsiFrm(kesh::AppContext& ctx, QWidget* parent = nullptr);
    // "Aceptar": level, confirmation, deletion, and the closing message.
    void BtAceptarClick();

    QDateEdit* EdDesde = nullptr;
    QDateEdit* EdHasta = nullptr;
    QCheckBox* ChSinLimite = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    kesh::AppContext& ctx_;
};

} // namespace kesh::gui
