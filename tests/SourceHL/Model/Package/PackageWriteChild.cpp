// package_write_child SNAPSHOT POOLS TARGET LIMIT: writes the archived project SNAPSHOT (its
// media in the working pools under POOLS) as the package TARGET while no file may grow past
// LIMIT bytes. Exit 0 when saved, 3 with the reason on standard error when the save failed.
// With PACKAGE_WRITE_USER=UID in its environment it saves as that user (the tests run as
// root); with PACKAGE_WRITE_CUT=N it dies (exit 9, nothing cleaned) before step N of the save.
#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

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
    if (const char *user = std::getenv("PACKAGE_WRITE_USER")) {
        const auto id = uid_t(std::strtoul(user, nullptr, 10));
        if (::setgroups(0, nullptr) != 0 || ::setgid(id) != 0 || ::setuid(id) != 0)
            return 2;
    }
    HLProjectPackage::WriteHooks hooks;
    if (const char *cut = std::getenv("PACKAGE_WRITE_CUT")) {
        const int at = std::atoi(cut);
        hooks.beforeStep = [at](HLProjectPackage::Step step) {
            if (int(step) == at)
                std::_Exit(9); // as if killed: no unwinding, nothing removed
        };
    }
    try {
        HLProjectPackage::write(data, QString::fromLocal8Bit(argv[3]), hooks);
    } catch (const HLPackageError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 3;
    }
    return 0;
}
