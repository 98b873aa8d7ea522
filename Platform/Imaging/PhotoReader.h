#pragma once

#include <QImage>
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

    // The upright photo in premultiplied ARGB32, or a null image when the file is missing,
    // empty, damaged or no picture; errorString() then says why. A JPEG cut short gives the
    // part that decoded when that is most of it, and warning() says so.
    QImage read();
    QString errorString() const;
    QString warning() const;

    // One-call form of the above.
    static QImage load(const QString &path, const QSize &limit = {}, QString *error = nullptr,
                       QString *warning = nullptr);

private:
    QImage readHeif();
    QImage readWithQt();
    QImage failed(const QString &reason);
    QImage intactPart(QImage picture);

    QString m_path;
    QSize m_limit;
    QString m_error;
    QString m_warning;
};
