#include "widgets/HLNamedImage.h"

#include "widgets/HLResourceFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace {

struct Entry
{
    QIcon icon;
    QSize size;
};

const Entry &entryOf(const QString &name)
{
    static QHash<QString, Entry> entries;
    auto found = entries.find(name);
    if (found == entries.end()) {
        Entry entry;
        const QString file = QDir(HLResourceFolder::path()).filePath(QStringLiteral("Images/%1.png").arg(name));
        if (QFileInfo::exists(file)) {
            entry.icon = QIcon(file); // picks up the "@2x" twin by itself
            entry.size = QImageReader(file).size();
        }
        found = entries.insert(name, entry);
    }
    return *found;
}

} // namespace

QIcon HLNamedImage::icon(const QString &name)
{
    return entryOf(name).icon;
}

QSize HLNamedImage::size(const QString &name)
{
    return entryOf(name).size;
}

QPixmap HLNamedImage::pixmap(const QString &name, qreal devicePixelRatio)
{
    const Entry &entry = entryOf(name);
    if (entry.icon.isNull())
        return {};
    return entry.icon.pixmap(entry.size, devicePixelRatio);
}
