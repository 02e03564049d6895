#pragma once
// Standard entries ("Asientos Tipo"): the list window, which also serves the template editor
// as a chooser, and the editor of one standard entry (name and lines).

#include <QDialog>

#include "app/context.h"
#include "entries/standard.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kesh::gui {

class TAsiTipoFrm : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Manage, Choose };
    TAsiTipoFrm(kesh::AppContext& ctx, Mode mode, QWidget* parent = nullptr);

    int64_t selectedId() const;
    void Reload(int64_t keepId = 0);
    void BtAgregarClick();
    void BtModificarClick();
    void BtBorrarClick();
    void BtCrearAsientoClick();  // F6: an entry of the current year from the selected one

    QTableWidget* Grid = nullptr;
    QPushButton* BtModificar = nullptr;
    QPushButton* BtBorrar = nullptr;

private:
    void UpdateButtons();
    kesh::AppContext& ctx_;
    Mode mode_;
    std::vector<kesh::entries::StandardEntry> list_;
};

class TEdAsiTipoFrm : public QDialog {
    Q_OBJECT
public:
    enum Col { ColCod, ColConcepto, ColDh, ColCuenta };
    // id 0 adds a new standard entry.
    TEdAsiTipoFrm(kesh::AppContext& ctx, int64_t id, QWidget* parent = nullptr);

    int64_t savedId() const { return savedId_; }
    // The grid's rows as they would be saved.
    std::vector<kesh::entries::StandardLine> Lines() const;
    void SetRow(int row, const std::string& code, char dh, const QString& concepto);
    void BtAceptarClick();
    void InsertLine();
    void DeleteLine();
    void MoveLine(int delta);
    void CellActivated(int row, int col);

    QLineEdit* EdNombre = nullptr;
    QTableWidget* Grid = nullptr;

private:
    void EnsureTrailingRow();
    kesh::AppContext& ctx_;
    int64_t id_;
    int64_t savedId_ = 0;
};

} // namespace kesh::gui
