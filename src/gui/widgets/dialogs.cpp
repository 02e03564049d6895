#include "gui/widgets/dialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace kesh::gui {
namespace {
struct Script {
    bool active = false;
    std::deque<bool> answers;
    std::vector<QString> shown;
};
Script& script() {
    static Script s;
    return s;
}

bool record(const QString& message) {
    if (!script().active) return false;
    script().shown.push_back(message);
    return true;
}
} // namespace

bool AskYesNo(QWidget* parent, const QString& message) {
    if (record(message)) {
        if (script().answers.empty()) return false;
        bool a = script().answers.front();
        script().answers.pop_front();
        return a;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Atención!"), message, QMessageBox::NoButton,
                    parent);
    QPushButton* yes = box.addButton(QStringLiteral("Si"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes;
}

void ShowNotice(QWidget* parent, const QString& message) {
    if (record(message)) return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Atención!"), message,
                    QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    box.exec();
}

void ShowMessage(QWidget* parent, const QString& message) {
    if (record(message)) return;
    QMessageBox::information(parent, QStringLiteral("KESH2"), message);
}

void ShowError(QWidget* parent, const QString& message) {
    if (record(message)) return;
    QMessageBox::critical(parent, QStringLiteral("KESH2"), message);
}

namespace DialogScript {
void begin(std::deque<bool> answers) {
    script().active = true;
    script().answers = std::move(answers);
    script().shown.clear();
}
void end() {
    script().active = false;
    script().answers.clear();
}
bool active() { return script().active; }
void pushAnswer(bool yes) { script().answers.push_back(yes); }
const std::vector<QString>& shown() { return script().shown; }
QString last() { return script().shown.empty() ? QString() : script().shown.back(); }
void clearShown() { script().shown.clear(); }
} // namespace DialogScript

} // namespace kesh::gui
