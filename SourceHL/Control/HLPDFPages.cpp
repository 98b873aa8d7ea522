#include "SourceHL/Control/HLPDFPages.h"

#include "SourceHL/Common/HLMachTime.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <poppler-qt6.h>

#include <memory>

namespace HLPDFPages {

QStringList pagesOf(const QString &pdfPath, const QString &folder)
{
    QStringList pages;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdfPath);
    if (!document || document->isLocked())
        return pages;
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const QString name = QFileInfo(pdfPath).completeBaseName();
    for (int index = 0; index < document->numPages(); ++index) {
        const std::unique_ptr<Poppler::Page> page = document->page(index);
        if (!page)
            continue;
        const QImage picture = page->renderToImage(72, 72); // one pixel a point
        if (picture.isNull())
            continue;
        const QString path = QDir(folder).filePath(QStringLiteral("%1_%2.tiff").arg(name, HLMachTime::machTimeID()));
        QSaveFile file(path); // whole or not at all
        if (!file.open(QIODevice::WriteOnly))
            continue;
        QImageWriter writer(&file, "tiff");
        if (writer.write(picture) && file.commit())
            pages.append(path);
    }
    return pages;
}

} // namespace HLPDFPages
