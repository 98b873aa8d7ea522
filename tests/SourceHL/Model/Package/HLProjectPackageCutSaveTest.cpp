#include "PackageTestSupport.h"

#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLPackageFiles.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "tests/support/ChildProcess.h"

#include <QDateTime>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

using HLProjectPackage::Step;

// The user "nobody": the tests run as root, whom no permission stops.
constexpr const char *kOrdinaryUser = "PACKAGE_WRITE_USER=65534";

ino_t inodeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

void setDataTime(const QString &package, const QDateTime &time)
{
    QFile file(QDir(package).filePath("ProjectData"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

class CutSave : public PackageTest
{
protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
        QFile file(snapshot);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(project.archivedData());
    }
    // A save of the project onto package by another program, which dies before step cut.
    // Its folder is kept aside, as the next save would clear it, until cutSavesBack().
    void cutSaveAt(Step cut)
    {
        const ChildProcess child =
            ChildProcess::run(PACKAGE_WRITE_CHILD, {snapshot, media.path(), package, "100000000"}, true,
                              {QStringLiteral("PACKAGE_WRITE_CUT=%1").arg(int(cut))});
        ASSERT_EQ(child.exitCode, 9) << child.output.toStdString();
        const QStringList left = leftovers(out.path());
        ASSERT_EQ(left.size(), 1);
        ASSERT_TRUE(QDir().rename(out.file(left.front()), aside.file(left.front())));
    }
    void cutSavesBack() const
    {
        for (const QString &name : QDir(aside.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
            ASSERT_TRUE(QDir().rename(aside.file(name), out.file(name)));
    }

    TestFolder aside;
    QString package = out.file("Holiday.qlbyprj");
    QString snapshot = media.file("snapshot");
};

// Saves killed at each step leave hidden folders; the next open clears those no running
// program holds, and keeps the one holding a newer complete project where the user sees it.
TEST_F(CutSave, TheNextOpenClearsCutSavesAndKeepsANewerCompleteOne)
{
    const auto before = treeOf(package);
    setDataTime(package, QDateTime::currentDateTime().addSecs(-3600));
    cutSaveAt(Step::WriteArchive); // the media copied, no project data
    cutSaveAt(Step::Swap);         // complete and read back, not yet in place
    cutSavesBack();
    ASSERT_EQ(leftovers(out.path()).size(), 2);
    // One that another program is still building.
    const QString building = HLPackageFiles::makeFolderBeside(package, "saving");
    const HLPackageFiles::FolderLock held(building);
    ASSERT_TRUE(held.locked());
    // An old complete one (an old package put aside whose removal was cut short).
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), out.file("old.qlbyprj")));
    setDataTime(out.file("old.qlbyprj"), QDateTime::currentDateTime().addSecs(-7200));
    const QString old = HLPackageFiles::makeFolderBeside(package, "saving");
    ASSERT_TRUE(QDir().rmdir(old) && QDir().rename(out.file("old.qlbyprj"), old));

    QStringList notes;
    ASSERT_NO_THROW(HLProjectPackage::read(package, &notes));
    EXPECT_EQ(leftovers(out.path()), QStringList{QFileInfo(building).fileName()});
    const QString recovered = out.file("Holiday (recovered).qlbyprj");
    EXPECT_TRUE(SampleProject::sameProject(HLProjectPackage::read(recovered), HLProjectPackage::read(package)));
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.front().contains("Holiday (recovered)")) << notes.front().toStdString();
    EXPECT_EQ(treeOf(package), before);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
}

TEST_F(CutSave, TheNextSaveClearsCutSaves)
{
    cutSaveAt(Step::Flush);
    cutSavesBack();
    HLPackageFiles::makeFolderBeside(package, "saving"); // cut before anything was made in it
    ASSERT_EQ(leftovers(out.path()).size(), 2);
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    EXPECT_EQ(leftovers(out.path()), QStringList());
    // Only this package's cut saves: another's beside it are its own to clear.
    const QString other = HLPackageFiles::makeFolderBeside(out.file("Other.qlbyprj"), "saving");
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    EXPECT_EQ(leftovers(out.path()), QStringList{QFileInfo(other).fileName()});
}

// An ordinary user saving over a package they may not change: refused before anything is
// built, the package and its folder as they were. The same user may save under a new name.
TEST_F(CutSave, APackageTheUserCannotChangeIsRefused)
{
    for (const QString &folder : {out.path(), media.path()})
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                      | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                      | QFileDevice::ExeOther));
    const auto before = treeOf(package);
    const ChildProcess refused =
        ChildProcess::run(PACKAGE_WRITE_CHILD, {snapshot, media.path(), package, "100000000"}, true, {kOrdinaryUser});
    EXPECT_EQ(refused.exitCode, 3) << refused.output.toStdString();
    EXPECT_TRUE(refused.output.contains("cannot be changed")) << refused.output.toStdString();
    EXPECT_EQ(treeOf(package), before);
    EXPECT_EQ(leftovers(out.path()), QStringList());

    const ChildProcess saved = ChildProcess::run(
        PACKAGE_WRITE_CHILD, {snapshot, media.path(), out.file("Mine.qlbyprj"), "100000000"}, true, {kOrdinaryUser});
    EXPECT_EQ(saved.exitCode, 0) << saved.output.toStdString();
}

// The new package is written to the disk and read back before it takes the old one's place;
// until then the old package is the one at the path.
TEST_F(CutSave, TheNewPackageIsFlushedAndReadBackBeforeTheSwap)
{
    const ino_t old = inodeOf(package);
    QStringList order;
    QString flushed;
    HLProjectPackage::WriteHooks hooks;
    hooks.beforeStep = [&](Step step) {
        order << QStringLiteral("step %1").arg(int(step));
        EXPECT_EQ(inodeOf(package), old) << "before step " << int(step);
    };
    hooks.flushTree = [&](const QString &folder) {
        order << "flush";
        flushed = folder;
        EXPECT_EQ(inodeOf(package), old) << "flushed after the swap";
        HLPackageFiles::flushTree(folder);
    };
    const ino_t staged = [&] {
        HLProjectPackage::write(project.archivedData(), package, hooks);
        return inodeOf(package);
    }();
    EXPECT_EQ(order, QStringList({"step 0", "step 1", "step 2", "step 3", "flush", "step 4", "step 5"}));
    EXPECT_NE(staged, old);
    EXPECT_TRUE(QFileInfo(flushed).fileName().startsWith(".Holiday.qlbyprj.saving-"));
    EXPECT_EQ(leftovers(out.path()), QStringList());
}

// A staged archive damaged after it was written is caught by the read-back: the old package stays.
TEST_F(CutSave, AStagedArchiveThatDoesNotReadBackLeavesTheOldPackage)
{
    const auto before = treeOf(package);
    HLProjectPackage::WriteHooks hooks;
    hooks.beforeStep = [&](Step step) {
        if (step != Step::Verify)
            return;
        const QStringList staged = leftovers(out.path());
        ASSERT_EQ(staged.size(), 1);
        QFile data(QDir(out.file(staged.front())).filePath("ProjectData"));
        ASSERT_TRUE(data.open(QIODevice::ReadWrite));
        ASSERT_TRUE(data.resize(data.size() / 2));
    };
    try {
        HLProjectPackage::write(project.archivedData(), package, hooks);
        ADD_FAILURE() << "saved";
    } catch (const HLPackageError &error) {
        EXPECT_TRUE(error.message().contains("did not read back")) << error.what();
    }
    EXPECT_EQ(treeOf(package), before);
    EXPECT_EQ(leftovers(out.path()), QStringList());
}

} // namespace
