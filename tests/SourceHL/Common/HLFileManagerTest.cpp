#include "SourceHL/Common/HLFileManager.h"
#include "SourceHL/Common/HLTempSession.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace {

// The process's temporary session lives under a private cache folder, never the user's.
// The session ends after main returns, so the folder goes with an exit handler registered
// before the session starts (exit handlers run in reverse order).
class PrivateCacheEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        QTemporaryDir cache;
        cache.setAutoRemove(false);
        ASSERT_TRUE(cache.isValid());
        cachePath() = cache.path();
        std::atexit([] { QDir(cachePath()).removeRecursively(); });
        setenv("XDG_CACHE_HOME", QFile::encodeName(cachePath()).constData(), 1);
    }

    static QString &cachePath()
    {
        static QString path;
        return path;
    }
};

[[maybe_unused]] auto *const privateCache =
    ::testing::AddGlobalTestEnvironment(new PrivateCacheEnvironment);

// Sets an environment variable for the scope of a test.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value)
        : m_name(name)
    {
        if (const char *old = getenv(name))
            m_old = QByteArray(old);
        setenv(name, QFile::encodeName(value).constData(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->constData(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char *m_name;
    std::optional<QByteArray> m_old;
};

mode_t modeOf(const QString &path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 0777;
}

void writeFile(const QString &path, const QByteArray &data = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

// The pid of a process that has ended.
qint64 deadPid()
{
    const ChildProcess shell = ChildProcess::run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")}, true);
    EXPECT_EQ(shell.exitCode, 0);
    return shell.output.trimmed().toLongLong();
}

// A lock file like the one a session of a process that has died leaves behind.
void writeDeadLock(const QString &lockPath)
{
    const QString probe = lockPath + QStringLiteral(".probe");
    QByteArray contents;
    {
        QLockFile lock(probe);
        ASSERT_TRUE(lock.tryLock(0));
        QFile file(probe);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    const qsizetype endOfPid = contents.indexOf('\n');
    ASSERT_GT(endOfPid, 0);
    contents.replace(0, endOfPid, QByteArray::number(deadPid()));
    writeFile(lockPath, contents);
}

} // namespace

TEST(HLTempSession, PrivateFolderWithLockThatGoesAwayWithTheSession)
{
    TestFolder folder;
    const QString root = folder.file(QStringLiteral("cache/sessions"));
    QString path;
    {
        HLTempSession session(root);
        ASSERT_TRUE(session.isValid());
        path = session.path();
        EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(root).absoluteFilePath());
        EXPECT_EQ(modeOf(root), mode_t(0700));
        EXPECT_EQ(modeOf(path), mode_t(0700));
        EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".lock")));
        writeFile(path + QStringLiteral("/work.tmp"));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".lock")));
}

TEST(HLTempSession, StartRemovesOnlySessionsWhoseProcessIsGone)
{
    TestFolder folder;
    const QString root = folder.file(QStringLiteral("sessions"));
    auto live = std::make_unique<HLTempSession>(root);
    ASSERT_TRUE(live->isValid());
    writeFile(live->path() + QStringLiteral("/busy.m4a"));

    const QString dead = root + QStringLiteral("/session-1");
    ASSERT_TRUE(QDir().mkpath(dead + QStringLiteral("/convert-timeline-audio")));
    writeFile(dead + QStringLiteral("/convert-timeline-audio/old.m4a"));
    writeDeadLock(dead + QStringLiteral(".lock"));
    const QString orphan = root + QStringLiteral("/session-2"); // its lock never got written
    ASSERT_TRUE(QDir().mkpath(orphan));
    const QStringList unrelated = {root + QStringLiteral("/notes"), root + QStringLiteral("/session-abc"),
                                   root + QStringLiteral("/session-9.lock.rmlock")};
    for (const QString &path : unrelated)
        ASSERT_TRUE(QDir().mkpath(path));

    HLTempSession second(root);
    ASSERT_TRUE(second.isValid());
    EXPECT_NE(second.path(), live->path());
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_FALSE(QFileInfo::exists(dead + QStringLiteral(".lock")));
    EXPECT_FALSE(QFileInfo::exists(orphan));
    for (const QString &path : unrelated)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(live->path() + QStringLiteral("/busy.m4a")));

    // A session that ends cleanly leaves nothing behind; the live one is still spared.
    const QString livePath = live->path();
    live.reset();
    EXPECT_FALSE(QFileInfo::exists(livePath));
    HLTempSession::removeStaleSessions(root);
    EXPECT_TRUE(QFileInfo::exists(second.path()));
}

TEST(HLFileManager, TempFilesAreUniqueAndInsideThisSession)
{
    const QString session = HLFileManager::temporaryDirectory();
    ASSERT_FALSE(session.isEmpty());
    EXPECT_TRUE(session.startsWith(PrivateCacheEnvironment::cachePath() + QLatin1Char('/')));
    EXPECT_EQ(modeOf(session), mode_t(0700));

    const QString job = HLFileManager::tempFileDirectory(QStringLiteral("convert-timeline-audio"));
    EXPECT_EQ(job, session + QStringLiteral("/convert-timeline-audio"));
    EXPECT_FALSE(QFileInfo::exists(job));

    const QString first = HLFileManager::tempFilePath(QStringLiteral("convert-timeline-audio"), QStringLiteral("m4a"));
    const QString second = HLFileManager::tempFilePath(QStringLiteral("convert-timeline-audio"), QStringLiteral("m4a"));
    EXPECT_NE(first, second);
    for (const QString &path : {first, second}) {
        const QFileInfo info(path);
        EXPECT_TRUE(info.isFile()) << path.toStdString();
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(info.absolutePath(), job);
        EXPECT_EQ(info.fileName().size(), 8 + 4);
        EXPECT_TRUE(path.endsWith(QStringLiteral(".m4a")));
    }

    const QString work = HLFileManager::tempFilePath(QStringLiteral("dvd-maker-temp"), QStringLiteral("dir"));
    EXPECT_TRUE(work.endsWith(QStringLiteral(".dir")));
    EXPECT_TRUE(QFileInfo(work).isFile());
    const QString wide = HLFileManager::tempFilePath(QStringLiteral("dvd-maker-temp"), QStringLiteral("végé"));
    EXPECT_TRUE(wide.endsWith(QStringLiteral("/") + QFileInfo(wide).baseName() + QStringLiteral(".végé")));
    EXPECT_TRUE(QFileInfo(wide).isFile());

    HLFileManager::removeTempFile(QStringLiteral("convert-timeline-audio"));
    EXPECT_FALSE(QFileInfo::exists(job));
    EXPECT_TRUE(QFileInfo::exists(work));

    HLFileManager::removeTempFiles();
    EXPECT_TRUE(QDir(session).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QFileInfo::exists(session + QStringLiteral(".lock")));
    EXPECT_FALSE(HLFileManager::tempFilePath(QStringLiteral("again"), QStringLiteral("tmp")).isEmpty());

    const QString tooLong = HLFileManager::tempFilePath(QString(2100, QLatin1Char('n')), QStringLiteral("tmp"));
    EXPECT_TRUE(tooLong.isEmpty());
}

TEST(HLFileManager, NumberedPathsAndFolderTests)
{
    TestFolder folder;
    const QString a = folder.file(QStringLiteral("a"));
    EXPECT_EQ(HLFileManager::fullPathWithNumberIncreaseIfExist(a), a + QStringLiteral(".mov"));
    writeFile(folder.file(QStringLiteral("a.mov")));
    writeFile(folder.file(QStringLiteral("a1.mov")));
    EXPECT_EQ(HLFileManager::fullPathWithNumberIncreaseIfExist(a), folder.file(QStringLiteral("a2.mov")));
    writeFile(folder.file(QStringLiteral("Show.mp4")));
    EXPECT_EQ(HLFileManager::fullPathWithNumberIncreaseIfExist(folder.file(QStringLiteral("Show.mp4"))),
              folder.file(QStringLiteral("Show1.mp4")));

    const QString target = folder.file(QStringLiteral("target"));
    const QString link = folder.file(QStringLiteral("link"));
    ASSERT_TRUE(QDir().mkpath(target));
    writeFile(target + QStringLiteral("/keep.txt"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(HLFileManager::isDirectoryAtPath(link));
    EXPECT_TRUE(HLFileManager::isSymbolicLinkFileAtPath(link));
    EXPECT_FALSE(HLFileManager::isSymbolicLinkFileAtPath(target));
    EXPECT_FALSE(HLFileManager::isDirectoryAtPath(folder.file(QStringLiteral("a.mov"))));
    EXPECT_FALSE(HLFileManager::isDirectoryAtPath(folder.file(QStringLiteral("none"))));
    EXPECT_FALSE(HLFileManager::isSymbolicLinkFileAtPath(folder.file(QStringLiteral("none"))));

    // Clearing a path that is a link removes the link, never what it points to.
    HLFileManager::prepareForCreateFilePath(link);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/keep.txt")));
    const QString nested = folder.file(QStringLiteral("x/y/out.mov"));
    HLFileManager::prepareForCreateFilePath(nested);
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("x/y"))).isDir());
    HLFileManager::prepareForCreateFilePath(target);
    EXPECT_FALSE(QFileInfo::exists(target));

    const QString file = folder.file(QStringLiteral("a.mov"));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
    old.close();
    HLFileManager::touchFile(file);
    EXPECT_LT(QFileInfo(file).lastModified().secsTo(QDateTime::currentDateTime()), 60);
    HLFileManager::touchFile(folder.file(QStringLiteral("absent")));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("absent"))));
}

TEST(HLFileManager, DefaultLocationsInTheUsersFolders)
{
    TestFolder home;
    const ScopedEnv homeEnv("HOME", home.path());
    const ScopedEnv configEnv("XDG_CONFIG_HOME", home.file(QStringLiteral(".config")));
    const ScopedEnv dataEnv("XDG_DATA_HOME", home.file(QStringLiteral(".local/share")));
    const QString app = QCoreApplication::applicationName();
    ASSERT_FALSE(app.isEmpty());

    // The videos folder is a link: paths come back through the link's target.
    ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral("disk/videos"))));
    ASSERT_TRUE(QFile::link(home.file(QStringLiteral("disk/videos")), home.file(QStringLiteral("Videos"))));
    const QString movies = home.file(QStringLiteral("disk/videos/") + app);
    EXPECT_EQ(HLFileManager::defaultOutputPath(), movies);
    EXPECT_EQ(HLFileManager::defaultOutputVideoPath(), movies);
    EXPECT_EQ(HLFileManager::defaultSaveDocumentPath(), movies);
    EXPECT_TRUE(QFileInfo(movies).isDir());
    EXPECT_EQ(HLFileManager::defaultRecordPath(), movies + QStringLiteral("/RecordWavePath.mov"));
    EXPECT_FALSE(QFileInfo::exists(HLFileManager::defaultRecordPath()));
    EXPECT_EQ(HLFileManager::projectPath(), movies + QStringLiteral("/project"));
    EXPECT_EQ(HLFileManager::libraryPath(), movies + QStringLiteral("/library"));
    EXPECT_TRUE(QFileInfo(movies + QStringLiteral("/library")).isDir());

    EXPECT_EQ(HLFileManager::defaultOutputMusicPath(), home.file(QStringLiteral("Music/") + app));
    EXPECT_TRUE(QFileInfo(home.file(QStringLiteral("Music/") + app)).isDir());

    // The user's own names for the folders (user-dirs.dirs) are honoured.
    ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral(".config"))));
    writeFile(home.file(QStringLiteral(".config/user-dirs.dirs")), "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(HLFileManager::defaultOutputScreenshotPath(), home.file(QStringLiteral("Bilder/") + app));

    const QString support = HLFileManager::applicationSupportPath();
    EXPECT_TRUE(support.startsWith(home.file(QStringLiteral(".local/share/"))));
    EXPECT_TRUE(support.endsWith(app));
    EXPECT_FALSE(QFileInfo::exists(support));
}
