#include "gui/yearend/respaldo.h"

#include <QDir>
#include <QStringList>

#include <filesystem>

#include "app/backup.h"
#include "app/context.h"
#include "app/fbtools.h"
#include "db/database.h"
#include "gui/widgets/dialogs.h"
#include "gui/yearend/choosers.h"
#include "gui/widgets/waitcursor.h"

namespace kesh::gui {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool samePath(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

} // namespace

void CrearRespaldo(QWidget* parent, const AppContext& ctx) {
    const QString folder =
        ChooseFolder(parent, QStringLiteral("Seleccione una carpeta donde copiar el respaldo"), q(DataDir(ctx.appDir)));
    if (folder.isEmpty()) return;
    std::string archive;
    try {
        WaitCursor busy;
        archive = CreateBackup(ctx.companyPath, folder.toStdString(), Clock::today(),
                               FindFirebirdTool("nbackup", ctx.settings.FirebirdDir));
    } catch (const BackupError& e) {
        ShowError(parent, q(e.what()));
        return;
    } catch (const std::exception& e) {
        ShowError(parent, QStringLiteral("No se pudo crear el respaldo: ") + q(e.what()));
        return;
    }
    ShowNotice(parent, QStringLiteral("Se ha creado el archivo de respaldo:\n") + q(archive));
}

void RecuperarRespaldo(QWidget* parent, const AppContext& ctx) {
    const QString zip = ChooseZipFile(parent, q(DataDir(ctx.appDir)));
    if (zip.isEmpty()) return;
    try {
        if (ReadArchive(zip.toStdString()).entryCount == 0) {
            ShowNotice(parent, QStringLiteral("Error - El respaldo está vacío."));
            return;
        }
        const QString folder = ChooseFolder(
            parent, QStringLiteral("Seleccione una carpeta donde copiar la empresa recuperada"),
            q(DataDir(ctx.appDir)));
        if (folder.isEmpty()) return;

        RestoreResult r;
        {
            WaitCursor busy;
            r = RestoreBackup(zip.toStdString(), folder.toStdString(), false);
        }
        if (r.status == RestoreStatus::Exists) {
            QStringList names;
            for (const auto& f : r.existing) {
                // Replacing the file under the open company would pull it from under the
                // program's connections.
                if (samePath(f, ctx.companyPath)) {
                    ShowError(parent, QStringLiteral("La empresa ") + q(f) +
                                          QStringLiteral(" está abierta y no se puede reemplazar. "
                                                         "Recupere el respaldo en otra carpeta."));
                    return;
                }
                names << q(f);
            }
            if (!AskYesNo(parent, QStringLiteral("Ya existe:\n") + names.join(QStringLiteral("\n")) +
                                      QStringLiteral("\n¿Desea reemplazarla por la del respaldo?")))
                return;
            WaitCursor busy;
            r = RestoreBackup(zip.toStdString(), folder.toStdString(), true);
        }
    } catch (const BackupError& e) {
        ShowError(parent, q(e.what()));
        return;
    } catch (const std::exception& e) {
        ShowError(parent, QStringLiteral("No se pudo recuperar el respaldo: ") + q(e.what()));
        return;
    }
    ShowNotice(parent, QStringLiteral("Respaldo recuperado."));
}

} // namespace kesh::gui
