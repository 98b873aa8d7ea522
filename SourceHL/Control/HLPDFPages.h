#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <atomic>

// The pages of a PDF as pictures, so each page joins the project as a photo. A page is drawn
// to fit the project's render size (small pages grow, huge ones shrink), so every page is
// sharp in the movie and none, however it is made, becomes a picture larger than a frame.
namespace HLPDFPages {

// Bounds every page picture whatever the render size asks.
constexpr int kMaxPageSide = 8192;

// The pixel size of a page of pageSize points drawn to fit renderSize; at least 1 × 1.
QSize pixelSizeOf(QSizeF pageSize, QSizeF renderSize);

// Writes each page, in page order, as "<base name>_<clock stamp>.tiff" into folder and gives
// the written files. A page that can't be drawn or written is left out. Empty, with reason,
// for a file that isn't a PDF or is locked with a password; stops early once cancelled.
QStringList writePages(const QString &pdfPath, const QString &folder, QSizeF renderSize,
                       const std::atomic<bool> &cancelled, QString *reason);

// "PDFs" in the temporary directory, made when paths hold a PDF; empty when they hold none
// or the folder can't be made (the PDFs then go on as they are and are refused as photos).
// The import removes it with its pages once the pools hold their copies.
QString makeFolderFor(const QStringList &paths, const QString &temporaryDirectory);

// The path list with every PDF replaced by its pages, in order; the pages go into folder.
// A PDF that gives no page adds "<file name>: <reason>" to skipped.
QStringList expandPaths(const QStringList &paths, const QString &folder, QSizeF renderSize,
                        const std::atomic<bool> &cancelled, QStringList *skipped);

} // namespace HLPDFPages
