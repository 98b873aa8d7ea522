#include "SourceHL/Model/Resource/HLResourcePool.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Resource/HLFileClone.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(data), data.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ino_t inodeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// The pools are process-wide: every test registers what it uses and clears it afterwards.
class HLResourcePoolTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (HLResourceSource source : {0, 1, 2}) {
            for (HLResourceType kind : {0, 1, 2})
                HLResourcePool::update(QString(), source, kind);
        }
    }

    // Keeps a private copy named "Audio" of the placed file, as the kinds do.
    static HLResourcePool::SetupBlock keeping()
    {
        return [](HLResourceType kind, const QString &identifier, const QString &hash, const QString &path,
                  QString *reason) -> std::shared_ptr<HLResourceItem> {
            if (!HLFileClone::linkOrClone(path, QFileInfo(path).dir().filePath("Audio"), reason))
                return nullptr;
            return std::make_shared<HLResourceItem>(kind, identifier, hash, QVariantMap{{"Name", "x"}});
        };
    }

    TestFolder folder;
};

TEST_F(HLResourcePoolTest, OnePoolPerPair)
{
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceProj, HLResourceTypeVideo);
    EXPECT_EQ(pool, HLResourcePool::resourcePoolOfSource(HLResourceSourceProj, HLResourceTypeVideo));
    EXPECT_NE(pool, HLResourcePool::resourcePoolOfSource(HLResourceSourceProj, HLResourceTypeImage));
    EXPECT_EQ(pool->enSource(), HLResourceSourceProj);
    EXPECT_EQ(pool->enResource(), HLResourceTypeVideo);
    EXPECT_EQ(pool->strDir(), QString());
    EXPECT_EQ(HLResourcePool::resourcePoolOf("PV123"), pool);
    EXPECT_EQ(HLResourcePool::resourceDirOf("PV123"), QString()); // no folder yet
    EXPECT_EQ(HLResourcePool::resourcePoolOf("XV123"), nullptr);
    EXPECT_EQ(HLResourcePool::resourceDirOf("XV123"), QString());
}

TEST_F(HLResourcePoolTest, IdentifiersAndKeys)
{
    EXPECT_EQ(HLResourcePool::makeKeyPersistent("TV123"), "PV123");
    EXPECT_EQ(HLResourcePool::makeKeyPersistent("PV123"), "PV123");
    EXPECT_EQ(HLResourcePool::p_poolKeyOfSource(2, 0), "MA");
    EXPECT_EQ(HLResourcePool::p_hashKeyOf("TI"), "");
    const QString fresh = HLResourcePool::p_newResourceIDOf(HLResourceTypeImage);
    EXPECT_TRUE(fresh.startsWith("TI"));
    EXPECT_TRUE(HLResourcePool::isValidHashKey(fresh.mid(2)));
    EXPECT_NE(fresh, HLResourcePool::p_newResourceIDOf(HLResourceTypeImage));

    const auto wrong = [](const std::function<void()> &call) {
        try {
            call();
        } catch (const HLAssertionFailure &failure) {
            return std::string(failure.what()) == "wrong para";
        }
        return false;
    };
    EXPECT_TRUE(wrong([] { HLResourcePool::p_sourceKey(3); }));
    EXPECT_TRUE(wrong([] { HLResourcePool::p_resourceKey(3); }));
    EXPECT_TRUE(wrong([] { HLResourcePool::p_resourceKey(-1); }));
    EXPECT_TRUE(wrong([] { HLResourcePool::makeKeyPersistent("T"); }));
    EXPECT_TRUE(wrong([] { HLResourcePool::resourceDirOf(""); }));
}

TEST_F(HLResourcePoolTest, RegistersFolders)
{
    const QString dir = folder.file("new/Images");
    HLResourcePool::update(dir, HLResourceSourceTemp, HLResourceTypeImage);
    EXPECT_TRUE(QFileInfo(dir).isDir()); // made when missing
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage);
    EXPECT_EQ(pool->strDir(), dir);
    EXPECT_EQ(HLResourcePool::resourceDirOf("TI42"), dir + "/42");
    EXPECT_EQ(HLResourcePool::resourceDirOf("TI"), dir); // the pool folder itself

    writeFile(folder.file("plain"), "x");
    HLResourcePool::update(folder.file("plain"), HLResourceSourceTemp, HLResourceTypeImage);
    EXPECT_EQ(pool->strDir(), dir); // a file is no folder
    HLResourcePool::update(QString(), HLResourceSourceTemp, HLResourceTypeImage);
    EXPECT_EQ(pool->strDir(), QString());
}

TEST_F(HLResourcePoolTest, CraftedHashKeysReachNoFolder)
{
    HLResourcePool::update(folder.file("Images"), HLResourceSourceTemp, HLResourceTypeImage);
    for (const char *identifier : {"TI../../etc", "TI12/../../x", "TI/etc", "TI12a", "TI 12", "TI\xd9\xa3"})
        EXPECT_EQ(HLResourcePool::resourceDirOf(QString::fromUtf8(identifier)), QString()) << identifier;
}

TEST_F(HLResourcePoolTest, ImportKeepsWhatTheSetupMadeAndNothingElse)
{
    HLResourcePool::update(folder.file("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeAudio);
    writeFile(folder.file("song.wav"), "music");

    // A refusing setup leaves no folder.
    QString reason;
    const auto refused = pool->addResourceFrom(
        folder.file("song.wav"),
        [](HLResourceType, const QString &, const QString &, const QString &, QString *why) {
            *why = "not music";
            return std::shared_ptr<HLResourceItem>();
        },
        &reason);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(reason, "not music");
    EXPECT_TRUE(QDir(folder.file("Audios")).isEmpty());
    EXPECT_EQ(pool->addResourceFrom(folder.file("song.wav"), nullptr), nullptr);
    EXPECT_TRUE(QDir(folder.file("Audios")).isEmpty());

    const auto item = pool->addResourceFrom(folder.file("song.wav"), keeping());
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->strResourceID().startsWith("TA"));
    EXPECT_EQ(item->strResourceID().mid(2), item->strHashID());
    const QString dir = HLResourcePool::resourceDirOf(item->strResourceID());
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{"Audio"}); // the placed copy is gone

    // The resource shares nothing with the user's file: a later edit of it changes nothing.
    EXPECT_NE(inodeOf(dir + "/Audio"), inodeOf(folder.file("song.wav")));
    writeFile(folder.file("song.wav"), "edited");
    EXPECT_EQ(readFile(dir + "/Audio"), "music");
}

TEST_F(HLResourcePoolTest, FailedPlacementsGiveAReasonAndLeaveNothing)
{
    HLResourcePool::update(folder.file("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeAudio);
    QDir().mkpath(folder.file("a folder.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("pipe.wav")).constData(), 0600), 0);
    for (const char *name : {"missing.wav", "a folder.wav", "pipe.wav"}) {
        QString reason;
        EXPECT_EQ(pool->addResourceFrom(folder.file(name), keeping(), &reason), nullptr) << name;
        EXPECT_FALSE(reason.isEmpty()) << name;
        EXPECT_TRUE(QDir(folder.file("Audios")).isEmpty()) << name;
    }

    const auto unregistered = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeVideo);
    QString reason;
    writeFile(folder.file("clip.mp4"), "x");
    EXPECT_EQ(unregistered->addResourceFrom(folder.file("clip.mp4"), keeping(), &reason), nullptr);
    EXPECT_FALSE(reason.isEmpty());
}

// Two file systems: /dev/shm is tmpfs, the test folder lies on the disk.
TEST_F(HLResourcePoolTest, ImportsAndDuplicatesAcrossFileSystems)
{
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        GTEST_SKIP() << "no /dev/shm";
    QTemporaryDir shm(QStringLiteral("/dev/shm/hl-resource-XXXXXX"));
    ASSERT_TRUE(shm.isValid());
    writeFile(shm.filePath("song.wav"), "tmpfs music");

    HLResourcePool::update(folder.file("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(shm.filePath("Staging"), HLResourceSourceMedi, HLResourceTypeAudio);
    const auto work = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeAudio);
    const auto staging = HLResourcePool::resourcePoolOfSource(HLResourceSourceMedi, HLResourceTypeAudio);

    const auto item = work->addResourceFrom(shm.filePath("song.wav"), keeping());
    ASSERT_NE(item, nullptr);
    const QString identifier = item->strResourceID();
    EXPECT_EQ(readFile(HLResourcePool::resourceDirOf(identifier) + "/Audio"), "tmpfs music");

    QString reason;
    EXPECT_TRUE(HLResourcePool::duplicateResource(identifier, staging, &reason)) << reason.toStdString();
    EXPECT_EQ(readFile(shm.filePath("Staging/" + item->strHashID() + "/Audio")), "tmpfs music");
    // Once there, never overwritten.
    writeFile(shm.filePath("Staging/" + item->strHashID() + "/Audio"), "kept");
    EXPECT_FALSE(HLResourcePool::duplicateResource(identifier, staging));
    EXPECT_EQ(readFile(shm.filePath("Staging/" + item->strHashID() + "/Audio")), "kept");
}

TEST_F(HLResourcePoolTest, DuplicatesOnlyBetweenSourcesOfOneKind)
{
    HLResourcePool::update(folder.file("TA"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(folder.file("TV"), HLResourceSourceTemp, HLResourceTypeVideo);
    HLResourcePool::update(folder.file("MA"), HLResourceSourceMedi, HLResourceTypeAudio);
    QDir().mkpath(folder.file("TA/77"));
    writeFile(folder.file("TA/77/Audio"), "a");

    const auto sameSource = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeAudio);
    const auto otherKind = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeVideo);
    const auto staging = HLResourcePool::resourcePoolOfSource(HLResourceSourceMedi, HLResourceTypeAudio);
    EXPECT_FALSE(HLResourcePool::duplicateResource("TA77", sameSource));
    EXPECT_FALSE(HLResourcePool::duplicateResource("TA77", otherKind));
    EXPECT_FALSE(HLResourcePool::duplicateResource("TA78", staging)); // nothing there
    EXPECT_EQ(QDir(folder.file("MA")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    EXPECT_TRUE(HLResourcePool::duplicateResource("TA77", staging));
    // The program's own files: on one file system the duplicate costs no copy of the data.
    EXPECT_EQ(inodeOf(folder.file("MA/77/Audio")), inodeOf(folder.file("TA/77/Audio")));
    EXPECT_EQ(HLResourcePool::makeKeyPersistent("TA77"), "PA77");
}

TEST_F(HLResourcePoolTest, FailedDuplicateLeavesNoPartialFolder)
{
    HLResourcePool::update(folder.file("TA"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(folder.file("MA"), HLResourceSourceMedi, HLResourceTypeAudio);
    QDir().mkpath(folder.file("TA/5"));
    writeFile(folder.file("TA/5/Audio"), "a");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("TA/5/pipe")).constData(), 0600), 0);
    QString reason;
    EXPECT_FALSE(HLResourcePool::duplicateResource(
        "TA5", HLResourcePool::resourcePoolOfSource(HLResourceSourceMedi, HLResourceTypeAudio), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder.file("MA/5")));
}

} // namespace
