#include "Frameworks/Trevanel/DVDMenuImageGenerator.h"

DVDMenuImageGenerator::DVDMenuImageGenerator(std::shared_ptr<DVDMenuPage> menu, QSizeF videoFormatSize)
    : m_menu(std::move(menu)), m_videoFormatSize(videoFormatSize)
{
}

void DVDMenuImageGenerator::drawDVDMenuImageSize(QPainter &, QSizeF, const QString &)
{
}

QImage DVDMenuImageGenerator::layerImage(const QString &name)
{
    const QSize size = m_videoFormatSize.toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // The one flip between the menu's y-up drawing and the picture's rows.
    painter.translate(0, size.height());
    painter.scale(1, -1);
    drawDVDMenuImageSize(painter, m_videoFormatSize, name);
    painter.end();
    return image;
}
