// Two threads on one picture without a lock: one paints its pixels, the other copies it with
// Qt (whose memcpy ThreadSanitizer sees). ThreadSanitizer must report the race.
#include <QImage>

#include <cstdio>
#include <thread>

int main()
{
    QImage picture(64, 64, QImage::Format_ARGB32);
    picture.fill(0);
    uchar *pixels = picture.bits();
    const qsizetype size = picture.sizeInBytes();
    std::thread painter([pixels, size] {
        for (qsizetype i = 0; i < size; ++i)
            pixels[i] = uchar(i);
    });
    std::thread copier([&picture] { std::printf("%08x\n", picture.copy().pixel(3, 3)); });
    painter.join();
    copier.join();
}
