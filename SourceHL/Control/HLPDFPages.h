#pragma once

#include <QString>
#include <QStringList>

// The pages of a PDF file as TIFF pictures, so they import like photos: each page drawn at
// its size in points, one pixel a point, into "<name>_<clock stamp>.tiff" in folder. A page
// that cannot be written is left out; a file that does not open as a PDF gives nothing.
namespace HLPDFPages {

QStringList pagesOf(const QString &pdfPath, const QString &folder);

} // namespace HLPDFPages
