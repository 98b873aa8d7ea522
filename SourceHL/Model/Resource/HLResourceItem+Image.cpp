#include "SourceHL/Model/Resource/HLResourceItem.h"

#include "Platform/Imaging/PhotoReader.h"
#include "SourceHL/Common/HLImageHelper.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

const QSizeF thumbnailBox(100, 100);
const QSizeF previewLimit(1200, 900);
constexpr float compression = 0.5f;

// Tested in this order; the last six are common names for formats the photo reader opens.
const QStringList imageExtensions = {
    QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"), QStringLiteral("raw"),
    QStringLiteral("tiff"), QStringLiteral("gif"), QStringLiteral("bmp"), QStringLiteral("pcx"),
    QStringLiteral("tga"), QStringLiteral("exif"), QStringLiteral("fpx"), QStringLiteral("svg"),
    QStringLiteral("psd"), QStringLiteral("cdr"), QStringLiteral("pcd"), QStringLiteral("dxf"),
    QStringLiteral("ufo"), QStringLiteral("eps"), QStringLiteral("ai"), QStringLiteral("hdri"),
    QStringLiteral("wmf"), QStringLiteral("emf"), QStringLiteral("tif"), QStringLiteral("webp"),
    QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("jpe"), QStringLiteral("jfif"),
};

// The thumbnail from the file's reader at its reduced size (JPEG decodes scaled natively),
// the same picture that limiting the whole one outside the box would give, then bounded.
QImage thumbnailOf(const QString &path)
{
    QImageReader reader(path);
    const QSizeF size = reader.size();
    if (size.width() > thumbnailBox.width() && size.height() > thumbnailBox.height())
        reader.setScaledSize(HLImageHelper::minOutsideSize(size, thumbnailBox).toSize());
    const QImage image = reader.read();
    return image.isNull() ? image : HLImageHelper::hlThumbnailOf(image, thumbnailBox);
}

QVariantMap preprocessImage(const QString &path, QString *reason)
{
    const QFileInfo placed(path);
    const QDir folder = placed.dir();
    bool previewWritten = false;
    QString warning;
    const QSizeF size = HLImageHelper::hlValidate(
        path, [&folder](const QString &) { return folder.filePath(QStringLiteral("Source")); },
        [&folder, &previewWritten](const QString &) {
            previewWritten = true;
            return folder.filePath(QStringLiteral("Preview"));
        },
        compression, previewLimit, reason, &warning);
    if (size.isEmpty())
        return {};
    const QImage thumbnail =
        thumbnailOf(folder.filePath(previewWritten ? QStringLiteral("Preview") : QStringLiteral("Source")));
    if (thumbnail.isNull()) {
        if (reason)
            *reason = QStringLiteral("The copy of \"%1\" cannot be read back").arg(path);
        return {};
    }
    if (reason)
        *reason = warning;
    return {
        {QStringLiteral("Name"), placed.completeBaseName()},
        {QStringLiteral("Format"), placed.suffix()},
        {QStringLiteral("Thumbnail"), thumbnail},
        {QStringLiteral("Resolution"), size},
    };
}

} // namespace

void HLResourceItem::configureForImage()
{
    setUpPathMapPreview(
        [](const QString &folder) {
            const QString preview = QDir(folder).filePath(QStringLiteral("Preview"));
            return QFileInfo::exists(preview) ? preview : QDir(folder).filePath(QStringLiteral("Source"));
        },
        [](const QString &folder) { return QDir(folder).filePath(QStringLiteral("Source")); }, HLResourceTypeImage);
    setUpPreprocess(preprocessImage, HLResourceTypeImage);
    // Photos load through the photo reader, here and everywhere, so large ones decode.
    PhotoReader::allowLargePhotos();
    setUpInitiation(
        [](const QString &path) -> HLResourceObject {
            QImage image = PhotoReader::load(path);
            if (image.isNull())
                return {};
            return image;
        },
        HLResourceTypeImage);
}

bool HLResourceItem::isKindOfPDF(const QString &path)
{
    const QString extension = QFileInfo(path).suffix();
    return !extension.isEmpty() && extension.compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;
}

bool HLResourceItem::isKindOfImage(const QString &path)
{
    const QString extension = QFileInfo(path).suffix();
    return !extension.isEmpty() && imageExtensions.contains(extension, Qt::CaseInsensitive);
}

QImage HLResourceItem::p_imageThumbnailIn(const QString &folder)
{
    return thumbnailOf(pathMapPreviewFor(HLResourceTypeImage)(folder));
}

QString HLResourceItem::imageName() const
{
    return isImage() ? m_dicInfo.value(QStringLiteral("Name")).toString() : QString();
}

QString HLResourceItem::imageFormat() const
{
    return isImage() ? m_dicInfo.value(QStringLiteral("Format")).toString() : QString();
}

QImage HLResourceItem::imageThumbnail() const
{
    return isImage() ? m_dicInfo.value(QStringLiteral("Thumbnail")).value<QImage>() : QImage();
}

QSizeF HLResourceItem::imageResolution() const
{
    return isImage() ? m_dicInfo.value(QStringLiteral("Resolution")).toSizeF() : QSizeF();
}

QImage HLResourceItem::imagePreview() const
{
    const HLResourceObject object = oResourcePreview();
    const auto *image = std::get_if<QImage>(&object);
    return isImage() && image ? *image : QImage();
}

QImage HLResourceItem::imageSource() const
{
    const HLResourceObject object = oResourceSource();
    const auto *image = std::get_if<QImage>(&object);
    return isImage() && image ? *image : QImage();
}
