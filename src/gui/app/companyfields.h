#pragma once
// The company fields shared by "Crear una Nueva Empresa" and "Modificar Datos de la Empresa":
// the text fields (limited to their column widths) and the logo picture.

#include <QLabel>
#include <QString>
#include <vector>

#include "app/context.h"

class QFormLayout;
class QLineEdit;
class QPushButton;

// The logo: shows a PNG, JPEG or BMP picture; a right click removes it.
class TLogoPicture : public QLabel {
    Q_OBJECT
public:
    explicit TLogoPicture(QWidget* parent = nullptr);
    // Shows the picture of `path` (nothing when it is not a readable picture).
    void setPath(const QString& path);
    QString path() const { return path_; }
    // Opens the picture chooser in `folder`.
    void choose(const QString& folder);
    // The picture with its "Logo" button below it (choosing in `folder`); sets `logo`.
    static class QVBoxLayout* Column(TLogoPicture*& logo, const QString& folder);

signals:
    void changed();

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    QString path_;
};

struct CompanyFields {
    // One row per field in `order` (member, caption), added to `form`.
    struct Row {
        std::string kesh::CompanyData::*field;
        const char* caption;
        int maxLength;
    };
    void build(QFormLayout* form, const std::vector<Row>& rows);
    void fill(const kesh::CompanyData& d);
    // Reads the text fields into d (other members untouched).
    void read(kesh::CompanyData& d) const;
    QLineEdit* edit(std::string kesh::CompanyData::*field) const;

    std::vector<std::pair<std::string kesh::CompanyData::*, QLineEdit*>> edits;
};

// Column widths of the empresa row.
namespace companycols {
inline constexpr int nombre = 80, domicilio = 80, ciudad = 40, codpostal = 12, telefonos = 60,
                     cuit = 20, ingbrut = 20, ganancias = 20, obs = 255, email = 80;
}
