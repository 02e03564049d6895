#pragma once
// The text of a PDF as a reader finds it (pdftotext -layout), to check what a report wrote.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kesh::test {

// `extra` adds pdftotext options, for example "-f 5 -l 5" for page 5 only.
inline QString PdfText(const QString& pdf, const QString& extra = {}) {
    QProcess p;
    QStringList args{"-layout"};
    if (!extra.isEmpty()) args << extra.split(' ');
    args << pdf << "-";
    p.start("pdftotext", args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace kesh::test
