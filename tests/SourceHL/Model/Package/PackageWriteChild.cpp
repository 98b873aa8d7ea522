// package_write_child SNAPSHOT POOLS TARGET LIMIT: writes the archived project SNAPSHOT (its
// media in the working pools under POOLS) as the package TARGET while no file may grow past
// LIMIT bytes. Exit 0 when saved, 3 with the reason on standard error when the save failed.
#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    QFile snapshot(QString::fromLocal8Bit(argv[1]));
    if (!snapshot.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray data = snapshot.readAll();
    const QDir pools(QString::fromLocal8Bit(argv[2]));
    HLResourceItem::configureForAudio();
    HLResourceItem::configureForVideo();
    HLResourceItem::configureForImage();
    HLProjectContents::registerCoding();
    HLResourcePool::update(pools.filePath("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(pools.filePath("Videos"), HLResourceSourceTemp, HLResourceTypeVideo);
    HLResourcePool::update(pools.filePath("Images"), HLResourceSourceTemp, HLResourceTypeImage);

    std::signal(SIGXFSZ, SIG_IGN); // writes past the limit fail with EFBIG instead
    const rlim_t limit = std::strtoull(argv[4], nullptr, 10);
    const rlimit fsize{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &fsize) != 0)
        return 2;
    try {
        HLProjectPackage::write(data, QString::fromLocal8Bit(argv[3]));
    } catch (const HLPackageError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 3;
    }
    return 0;
}
