#include "PackageTestSupport.h"

#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "tests/support/ChildProcess.h"

#include <QFileInfo>

namespace {

using HLProjectPackage::Step;

// The one deep copy serves the save and the export: each copy equals the project, owns its
// objects and does not follow later edits.
TEST_F(PackageTest, CopiesShareNothingWithTheProjectOrEachOther)
{
    std::vector<HLProjectContents> copies;
    ASSERT_NO_THROW(copies = project.copies(2));
    ASSERT_EQ(copies.size(), 2u);
    const qsizetype items = project.timeline->aryItems().size();
    ASSERT_GT(items, 1);
    for (const HLProjectContents &copy : copies) {
        EXPECT_TRUE(SampleProject::sameProject(copy, project));
        EXPECT_NE(copy.timeline, project.timeline);
        EXPECT_NE(copy.textline, project.textline);
        EXPECT_NE(copy.timeline->aryItems()[0], project.timeline->aryItems()[0]);
        EXPECT_NE(copy.resourceItems()[0], project.resourceItems()[0]);
    }
    EXPECT_NE(copies[0].timeline->aryItems()[0], copies[1].timeline->aryItems()[0]);

    project.timeline->remove({project.timeline->aryItems()[0]->strSSID()});
    EXPECT_EQ(copies[0].timeline->aryItems().size(), items);
    EXPECT_EQ(copies[1].timeline->aryItems().size(), items);
}

TEST(HLProjectPackageNames, APathInsideAPackageBelongsToIt)
{
    const struct
    {
        const char *path;
        const char *package;
    } cases[] = {
        {"/home/me/MyShow.qlbyprj", "/home/me/MyShow.qlbyprj"},
        {"/home/me/MyShow.qlbyprj/", "/home/me/MyShow.qlbyprj"},
        {"/home/me/MyShow.qlbyprj/Untitled.qlbyprj", "/home/me/MyShow.qlbyprj/Untitled.qlbyprj"},
        {"/home/me/MyShow.qlbyprj/Images/1/photo.jpg", "/home/me/MyShow.qlbyprj"},
        {"/home/me/MyShow.qlbyprj/../Other", ""},
        {"/home/me/MyShow", ""},
        {"/home/me/.qlbyprj/x", ""},
        {"/", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HLProjectPackage::enclosingPackage(QString::fromUtf8(c.path)), QString::fromUtf8(c.package))
            << c.path;
}

TEST_F(PackageTest, ProjectsReopenAsTheyWereSaved)
{
    const QString package = out.file("Holiday.qlbyprj");
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    for (const char *entry : {"Audios", "Videos", "Images"})
        EXPECT_TRUE(QFileInfo(QDir(package).filePath(entry)).isDir()) << entry;
    EXPECT_TRUE(HLProjectPackage::isPackage(package));
    EXPECT_TRUE(leftovers(out.path()).isEmpty());

    HLProjectContents opened;
    ASSERT_NO_THROW(opened = HLProjectPackage::read(package));
    EXPECT_TRUE(SampleProject::sameProject(opened, SampleProject::persistentCopy(project)));
    for (const auto &item : opened.resourceItems())
        EXPECT_TRUE(item->strResourceID().startsWith(SourceTypeKeyProj)) << item->strResourceID().toStdString();
    // The save worked on a copy: the live project keeps its identifiers until the window switches it.
    for (const QString &identifier : identifiers())
        EXPECT_TRUE(identifier.startsWith(SourceTypeKeyTemp));

    // Opened from the package, saved onto itself, and saved as another package.
    bindProjectPools(package);
    ASSERT_NO_THROW(HLProjectPackage::write(opened.archivedData(), package));
    HLProjectContents again;
    ASSERT_NO_THROW(again = HLProjectPackage::read(package));
    EXPECT_TRUE(SampleProject::sameProject(again, opened));
    const QString copy = out.file("Holiday copy.qlbyprj");
    ASSERT_NO_THROW(HLProjectPackage::write(again.archivedData(), copy));
    EXPECT_TRUE(SampleProject::sameProject(HLProjectPackage::read(copy), opened));
    EXPECT_EQ(treeOf(copy), treeOf(package));
    EXPECT_TRUE(leftovers(out.path()).isEmpty());
}

// A failure anywhere leaves the old package byte for byte, the live identifiers as they were
// and nothing beside it; the message says why.
TEST_F(PackageTest, AFailedSaveLeavesTheOldPackage)
{
    const QString package = out.file("Holiday.qlbyprj");
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    const auto before = treeOf(package);
    const QStringList ids = identifiers();

    struct Case
    {
        const char *name;
        HLProjectPackage::WriteHooks hooks;
        const char *said;
    };
    const auto failAt = [](Step failing) {
        HLProjectPackage::WriteHooks hooks;
        hooks.beforeStep = [failing](Step step) {
            if (step == failing)
                throw HLPackageError(QStringLiteral("injected"));
        };
        return hooks;
    };
    HLProjectPackage::WriteHooks unreadable;
    unreadable.copyFolder = [](const QString &, const QString &, QString *reason) {
        *reason = QStringLiteral("Permission denied");
        return false;
    };
    const Case cases[] = {
        {"make folder", failAt(Step::MakeFolder), "injected"},
        {"copy media", failAt(Step::CopyMedia), "injected"},
        {"write archive", failAt(Step::WriteArchive), "injected"},
        {"flush", failAt(Step::Flush), "injected"},
        {"verify", failAt(Step::Verify), "injected"},
        {"swap", failAt(Step::Swap), "injected"},
        {"unreadable media", unreadable, "Permission denied"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            HLProjectPackage::write(project.archivedData(), package, c.hooks);
            ADD_FAILURE() << "saved";
        } catch (const HLPackageError &error) {
            EXPECT_TRUE(error.message().contains(c.said)) << error.what();
        }
        EXPECT_EQ(treeOf(package), before);
        EXPECT_EQ(identifiers(), ids);
        EXPECT_TRUE(leftovers(out.path()).isEmpty()) << leftovers(out.path()).join(",").toStdString();
    }
}

TEST_F(PackageTest, MissingMediaAndBlockedPathsAreRefused)
{
    const QString package = out.file("Holiday.qlbyprj");
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    const auto before = treeOf(package);

    // A file where the package's folder must go.
    QFile blocker(out.file("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(HLProjectPackage::write(project.archivedData(), out.file("file/Holiday.qlbyprj")), HLPackageError);

    // A folder that is not a package, and a plain file, under the chosen name stay as they are.
    QDir().mkpath(out.file("Photos.qlbyprj/mine"));
    EXPECT_THROW(HLProjectPackage::write(project.archivedData(), out.file("Photos.qlbyprj")), HLPackageError);
    EXPECT_TRUE(QFileInfo(out.file("Photos.qlbyprj/mine")).isDir());
    EXPECT_THROW(HLProjectPackage::write(project.archivedData(), out.file("file")), HLPackageError);
    EXPECT_TRUE(QFileInfo(out.file("file")).isFile());

    // A media folder gone from the working pool.
    const QString gone = HLResourcePool::resourceDirOf(project.resourceItems().front()->strResourceID());
    ASSERT_TRUE(QDir(gone).removeRecursively());
    try {
        HLProjectPackage::write(project.archivedData(), package);
        ADD_FAILURE() << "saved";
    } catch (const HLPackageError &error) {
        EXPECT_TRUE(error.message().contains("missing")) << error.what();
    }
    EXPECT_EQ(treeOf(package), before);
    EXPECT_TRUE(leftovers(out.path()).isEmpty());
}

// A full disk: the archive cannot be written past the file-size limit of the child.
TEST_F(PackageTest, AFullDiskLeavesTheOldPackage)
{
    const QString package = out.file("Holiday.qlbyprj");
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    const auto before = treeOf(package);
    const QString snapshot = out.file("snapshot");
    QFile file(snapshot);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(project.archivedData());
    file.close();
    ASSERT_GT(before.value("ProjectData").size(), 2000);

    const ChildProcess child = ChildProcess::run(PACKAGE_WRITE_CHILD, {snapshot, media.path(), package, "2000"}, true);
    EXPECT_EQ(child.exitCode, 3) << child.output.toStdString();
    EXPECT_FALSE(child.output.isEmpty());
    EXPECT_EQ(treeOf(package), before);
    EXPECT_EQ(leftovers(out.path()), QStringList());

    // The same save without the limit goes through.
    const ChildProcess unlimited =
        ChildProcess::run(PACKAGE_WRITE_CHILD, {snapshot, media.path(), package, "100000000"}, true);
    EXPECT_EQ(unlimited.exitCode, 0) << unlimited.output.toStdString();
}

} // namespace
