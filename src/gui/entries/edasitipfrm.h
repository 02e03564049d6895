#pragma once
// TEdAsiTipFrm: the template entry editor. Fifteen line slots prepared from a standard entry
// (concept, side, account), where the user fills amounts and details; adds an entry made from
// a standard entry or changes one (path B of the saving rules). Modal.

#include <QDialog>
#include <array>

#include "app/context.h"
#include "entries/entries.h"
#include "entries/standard.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace kesh::gui {

class TEdAsiTipFrm : public QDialog {
    Q_OBJECT
public:
    // entryId 0: add an entry in the current year from standard entry idtip (0: none yet).
    TEdAsiTipFrm(kesh::AppContext& ctx, int64_t entryId, int64_t idtip, QWidget* parent = nullptr);

    // The entry saved, 0 when nothing was saved.
    int64_t savedId() const { return savedId_; }

    // Chooses the standard entry (the "Asiento Tipo" button) and loads its lines.
    void ChooseStandard();
    void LoadStandard(int64_t idtip);
    void BtnAceptarClick();
    void Recalc();

    // One row of slot controls.
    struct SlotRow {
        QCheckBox* tick = nullptr;    // with the concept text
        QPushButton* side = nullptr;  // "D" / "C", a click switches it
        QPushButton* account = nullptr;
        QLineEdit* amount = nullptr;
        QLineEdit* detail = nullptr;
        std::string code;
        int64_t lineId = 0;
    };
    std::array<SlotRow, kesh::entries::kTemplateSlots> rows;
    QLabel* LNumero = nullptr;
    QDateEdit* EdFecha = nullptr;
    QLineEdit* EdDescrip = nullptr;
    QPushButton* BtTipo = nullptr;
    QLabel* LDebitos = nullptr;
    QLabel* LCreditos = nullptr;
    QLabel* LSaldo = nullptr;
    QPushButton* BtnAceptar = nullptr;

    // The slots as they would be saved now.
    std::vector<kesh::entries::TemplateSlot> CurrentSlots() const;

private:
    void Build();
    void ShowSlots(const std::vector<kesh::entries::TemplateSlot>& slotValues);
    void SetSlotVisible(SlotRow& r, bool on);
    void PickAccount(SlotRow& r);

    kesh::AppContext& ctx_;
    int64_t entryId_;
    int64_t idtip_;
    int num_ = 0;
    int64_t savedId_ = 0;
};

} // namespace kesh::gui
