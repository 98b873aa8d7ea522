#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLPackageFiles.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Both ways of swapping: in one step, and by renames where the system has no exchange.
TEST(HLPackageFiles, SwapsPutTheNewFolderInPlaceAndKeepTheOld)
{
    const std::pair<const char *, std::function<void(const QString &, const QString &)>> ways[] = {
        {"exchange", HLPackageFiles::exchange},
        {"renames", HLPackageFiles::exchangeByRenames},
    };
    for (const auto &[name, swap] : ways) {
        SCOPED_TRACE(name);
        TestFolder folder;
        const QString target = folder.file("Trip.qlbyprj");
        writeFile(target + "/ProjectData", "old");
        const QString building = HLPackageFiles::makeFolderBeside(target, "saving");
        EXPECT_TRUE(QFileInfo(building).fileName().startsWith(".Trip.qlbyprj.saving-"));
        writeFile(building + "/ProjectData", "new");
        ASSERT_NO_THROW(swap(building, target));
        EXPECT_EQ(readFile(target + "/ProjectData"), "new");
        EXPECT_EQ(readFile(building + "/ProjectData"), "old");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);

        // A swap that cannot happen leaves both as they were.
        EXPECT_THROW(swap(folder.file("missing"), target), HLPackageError);
        EXPECT_EQ(readFile(target + "/ProjectData"), "new");
    }
}

TEST(HLPackageFiles, MovingIntoPlaceNeverTakesAnotherFoldersPlace)
{
    TestFolder folder;
    const QString target = folder.file("Trip.qlbyprj");
    QDir().mkpath(target); // empty: a plain rename would replace it
    const QString building = HLPackageFiles::makeFolderBeside(target, "saving");
    writeFile(building + "/ProjectData", "new");
    EXPECT_THROW(HLPackageFiles::moveIntoPlace(building, target), HLPackageError);
    EXPECT_TRUE(QDir(target).isEmpty());
    ASSERT_TRUE(QDir(target).removeRecursively());
    ASSERT_NO_THROW(HLPackageFiles::moveIntoPlace(building, target));
    EXPECT_EQ(readFile(target + "/ProjectData"), "new");
    EXPECT_NO_THROW(HLPackageFiles::flushTree(target));
    EXPECT_THROW(HLPackageFiles::flushTree(folder.file("missing")), HLPackageError);
}

} // namespace
