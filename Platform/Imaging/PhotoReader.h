#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// Reads a photo file (JPEG, PNG, TIFF, GIF, BMP, WebP, HEIC/HEIF) into an upright picture:
// the orientation the camera recorded is applied. The format is found from the content, not
// the file name. Uses QImage only, so it may run on any thread.
class PhotoReader
{
public:
    explicit PhotoReader(const QString &path);

    // Decodes no larger than limit, aspect kept (JPEG decodes reduced sizes natively); a
    // photo already inside it is read at its own size. An empty limit reads the full size.
    void setLimit(const QSize &limit);
    // Reads only this part of the upright photo (pixels, y down), clipped to the photo; the
    // limit then applies to the part. JPEG decodes just the rows and columns it covers. An
    // empty region reads the whole photo.
    void setRegion(const QRect &region);

    // Qt refuses decodes above its allocation limit (128 MB in Qt 6.4: about 33 megapixels).
    // Raised at start-up so large camera photos decode; the first read raises it too.
    static void allowLargePhotos();

    // The upright photo in premultiplied ARGB32, or a null image when the file is missing,
    // empty, damaged or no picture; errorString() then says why. A JPEG cut short gives the
    // part that decoded when that is most of it, and warning() says so.
    QImage read();
    QString errorString() const;
    QString warning() const;

    // One-call form of the above.
    static QImage load(const QString &path, const QSize &limit = {}, QString *error = nullptr,
                       const QRect &region = {}, QString *warning = nullptr);

private:
    QImage readHeif();
    QImage readWithQt();
    QImage failed(const QString &reason);
    // The part of a JPEG cut short that decoded, with the warning set; an empty rect, with
    // the error set, when too little of it did.
    QRect intactRectOf(const QImage &picture);
    // The region cut out of the usable part of a whole upright picture, then fitted inside
    // the limit.
    QImage cutAndFitted(QImage image, const QRect &usable);

    QString m_path;
    QSize m_limit;
    QRect m_region;
    QString m_error;
    QString m_warning;
};
