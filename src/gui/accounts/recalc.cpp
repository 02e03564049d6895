#include "gui/accounts/recalc.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

#include "accounts/balance.h"
#include "gui/widgets/dialogs.h"

namespace kesh::gui {

int RecalculateBalancesWithWait(QWidget* parent, const std::string& dsn) {
    QDialog wait(parent);
    wait.setWindowTitle(QString::fromUtf8(kRecalcWaitCaption));
    auto* layout = new QVBoxLayout(&wait);
    layout->addWidget(new QLabel(QString::fromUtf8(kRecalcWaitText), &wait));
    wait.setModal(true);
    wait.show();
    // Painted before the work starts: the recalculation may take minutes.
    QApplication::processEvents();
    int count = -1;
    try {
        count = RecalculateBalances(dsn);
    } catch (const std::exception& e) {
        wait.hide();
        ShowError(parent, QString::fromUtf8(e.what()));
        return -1;
    }
    wait.hide();
    const std::string message = BalanceUpdatedMessage(count);
    if (!message.empty()) ShowNotice(parent, QString::fromStdString(message));
    return count;
}

} // namespace kesh::gui
