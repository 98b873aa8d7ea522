#include "SourceHL/Control/HLPDFPages.h"

#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>

QSize HLPDFPages::pixelSizeOf(QSizeF pageSize, QSizeF renderSize)
{
    if (!(pageSize.width() > 0) || !(pageSize.height() > 0) || !(renderSize.width() > 0) ||
        !(renderSize.height() > 0))
        return QSize(1, 1);
    const double scale = std::min(renderSize.width() / pageSize.width(), renderSize.height() / pageSize.height());
    const auto side = [](double value) {
        return int(std::clamp(std::lround(value), 1L, long(kMaxPageSide)));
    };
    return QSize(side(pageSize.width() * scale), side(pageSize.height() * scale));
}

QStringList HLPDFPages::writePages(const QString &pdfPath, const QString &folder, QSizeF renderSize,
                                   const std::atomic<bool> &cancelled, QString *reason)
{
    QStringList written;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdfPath);
    if (!document) {
        if (reason)
            *reason = QObject::tr("The file is not a PDF document that can be read.");
        return written;
    }
    if (document->isLocked()) {
        if (reason)
            *reason = QObject::tr("The PDF document is locked with a password.");
        return written;
    }
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
    const QString base = QFileInfo(pdfPath).completeBaseName();
    const int count = document->numPages();
    for (int index = 0; index < count && !cancelled; ++index) {
        std::unique_ptr<Poppler::Page> page = document->page(index);
        if (!page)
            continue;
        const QSizeF points = page->pageSizeF();
        const QSize pixels = pixelSizeOf(points, renderSize);
        // Resolution in dots per inch: 72 points to the inch.
        const double xres = 72.0 * pixels.width() / std::max(points.width(), 1e-6);
        const double yres = 72.0 * pixels.height() / std::max(points.height(), 1e-6);
        QImage image = page->renderToImage(xres, yres, 0, 0, pixels.width(), pixels.height());
        if (image.isNull())
            continue;
        const QString path =
            QDir(folder).filePath(QStringLiteral("%1_%2.tiff").arg(base, HLMachTime::machTimeID()));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            continue;
        QImageWriter writer(&file, "tiff");
        if (writer.write(image) && file.commit())
            written.append(path);
    }
    return written;
}

QStringList HLPDFPages::expandPaths(const QStringList &paths, const QString &folder, QSizeF renderSize,
                                    const std::atomic<bool> &cancelled, QStringList *skipped)
{
    QStringList expanded;
    for (const QString &path : paths) {
        if (cancelled)
            break;
        if (!HLResourceItem::isKindOfPDF(path)) {
            expanded.append(path);
            continue;
        }
        QString reason;
        const QStringList pages = writePages(path, folder, renderSize, cancelled, &reason);
        if (pages.isEmpty() && skipped) {
            if (reason.isEmpty())
                reason = QObject::tr("The PDF document has no page that could be drawn.");
            skipped->append(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), reason));
        }
        expanded.append(pages);
    }
    return expanded;
}

QString HLPDFPages::makeFolderFor(const QStringList &paths, const QString &temporaryDirectory)
{
    if (temporaryDirectory.isEmpty() || std::none_of(paths.begin(), paths.end(), HLResourceItem::isKindOfPDF))
        return QString();
    const QString folder = QDir(temporaryDirectory).filePath(QStringLiteral("PDFs"));
    return QDir().mkpath(folder) ? folder : QString();
}
