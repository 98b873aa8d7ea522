#include "PackageOpenTest.h"

#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The path of a resource's media file relative to its package, and of its folder.
QString mediaFile(const HLResourceItem &item)
{
    const QString folder = HLProjectPackage::kindFolder(item.enType()) + "/" + item.strHashID();
    return QDir(folder).filePath(QFileInfo(HLResourceItem::pathMapSourceFor(item.enType())(folder)).fileName());
}

void replaceWithLink(const QString &path, const QString &to)
{
    QFileInfo(path).isDir() ? void(QDir(path).removeRecursively()) : void(QFile::remove(path));
    ASSERT_EQ(::symlink(QFile::encodeName(to).constData(), QFile::encodeName(path).constData()), 0) << path.toStdString();
}

void replaceWithFifo(const QString &path)
{
    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0) << path.toStdString();
}

// The bytes with one bit flipped.
QByteArray flipped(QByteArray bytes, qsizetype at, int bit)
{
    bytes[at] = char(bytes[at] ^ (1 << bit));
    return bytes;
}

class HostilePackage : public PackageOpen
{
protected:
    // A resource's media file and folder inside the package.
    QString photoFile() const { return QDir(package).filePath(mediaFile(*photo())); }
    QString photoFolder() const { return QFileInfo(photoFile()).path(); }
    std::shared_ptr<HLResourceItem> photo() const
    {
        for (const auto &item : SampleProject::persistentCopy(project).resourceItems())
            if (item->isImage())
                return item;
        return nullptr;
    }
    // An outside copy of something inside the package.
    QString outsideCopyOf(const QString &relative) const
    {
        const QString copy = outside.file(QFileInfo(relative).fileName());
        QFileInfo(QDir(package).filePath(relative)).isDir()
            ? void(QDir().mkpath(copy))
            : void(QFile::copy(QDir(package).filePath(relative), copy));
        return copy;
    }
    // Reads the package; the error's message, or empty when it opened.
    QString readError(QStringList *notes = nullptr) const
    {
        try {
            HLProjectPackage::read(package, notes);
            return QString();
        } catch (const HLPackageError &error) {
            return error.message();
        }
    }

    TestFolder outside;
};

// Entries that would block the open for good, read memory without end, or carry another file
// of the user into the next save: each is refused by name, at once.
TEST_F(HostilePackage, LinksPipesAndDevicesAreRefusedByName)
{
    const QString photoName = mediaFile(*photo());
    const QString source = QFileInfo(photoName).fileName();
    struct Case
    {
        const char *name;
        std::function<void()> damage;
        QString said;
    };
    const Case cases[] = {
        {"project data is a pipe", [&] { replaceWithFifo(data()); }, "ProjectData"},
        {"project data links to a pipe outside",
         [&] {
             replaceWithFifo(outside.file("pipe"));
             replaceWithLink(data(), outside.file("pipe"));
         },
         "ProjectData"},
        {"project data links to /dev/zero", [&] { replaceWithLink(data(), "/dev/zero"); }, "ProjectData"},
        {"project data links to /dev/urandom", [&] { replaceWithLink(data(), "/dev/urandom"); }, "ProjectData"},
        {"project data links to a good copy outside", [&] { replaceWithLink(data(), outsideCopyOf("ProjectData")); },
         "ProjectData"},
        {"project data is a folder",
         [&] {
             QFile::remove(data());
             QDir().mkpath(data());
         },
         "ProjectData"},
        {"project data past the cap",
         [&] {
             QFile file(data());
             ASSERT_TRUE(file.resize((qint64(64) << 20) + 1)); // sparse: takes no room
         },
         "64 MB"},
        {"photo links to /etc/passwd", [&] { replaceWithLink(photoFile(), "/etc/passwd"); }, photoName},
        {"photo links to a copy outside", [&] { replaceWithLink(photoFile(), outsideCopyOf(photoName)); }, photoName},
        {"photo links inside the package", [&] { replaceWithLink(photoFile(), data()); }, photoName},
        {"photo is a pipe", [&] { replaceWithFifo(photoFile()); }, photoName},
        {"a pipe beside the photo", [&] { replaceWithFifo(photoFolder() + "/Preview"); }, photoName.section('/', 0, 1)},
        {"a link beside the photo", [&] { replaceWithLink(photoFolder() + "/Extra", "/proc/self/environ"); },
         photoName.section('/', 0, 1) + "/Extra"},
        {"photo folder links outside",
         [&] {
             const QString copy = outside.file("folder");
             QDir().mkpath(copy);
             QFile::copy(photoFile(), copy + "/" + source);
             replaceWithLink(photoFolder(), copy);
         },
         photoName.section('/', 0, 1)},
        {"Images links outside",
         [&] {
             const QString copy = outside.file("Images");
             QDir().mkpath(copy + "/" + photo()->strHashID());
             QFile::copy(photoFile(), copy + "/" + photo()->strHashID() + "/" + source);
             replaceWithLink(QDir(package).filePath("Images"), copy);
         },
         "Images"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(package).removeRecursively();
        ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
        c.damage();
        const QString error = readError();
        EXPECT_TRUE(error.contains("Holiday") && error.contains(c.said)) << error.toStdString();
    }

    // A device node in place of the photo, where this system lets the test make one.
    QDir(package).removeRecursively();
    ASSERT_NO_THROW(HLProjectPackage::write(project.archivedData(), package));
    QFile::remove(photoFile());
    if (::mknod(QFile::encodeName(photoFile()).constData(), S_IFCHR | 0644, makedev(1, 5)) == 0) {
        EXPECT_TRUE(readError().contains(photoName)) << readError().toStdString();
    }
}

// At least a hundred damaged archives: cut at many lengths, one bit flipped at many places,
// wrong types, missing keys and huge values. Each is refused with the package's name or opens
// (a flip in a name's text can't be told from an edit); nothing on disk changes.
TEST_F(HostilePackage, DamagedArchivesAreRefusedOrOpen)
{
    std::vector<std::pair<QString, QByteArray>> cases;
    for (int i = 0; i < 40; ++i) {
        const qsizetype length = archive.size() * i / 40;
        cases.emplace_back(QStringLiteral("cut at %1").arg(length), archive.left(length));
    }
    for (int i = 0; i < 60; ++i) {
        const qsizetype at = (archive.size() - 1) * i / 59;
        cases.emplace_back(QStringLiteral("bit %1 of byte %2").arg(i % 8).arg(at), flipped(archive, at, i % 8));
    }
    const auto xmlCase = [&](const char *name, const char *pattern, const QString &to) {
        QString xml = QString::fromUtf8(toXml(archive));
        const QString original = xml;
        xml.replace(QRegularExpression(QString::fromLatin1(pattern)), to);
        ASSERT_NE(xml, original) << name;
        cases.emplace_back(QString::fromLatin1(name), toBinary(xml.toUtf8()));
    };
    xmlCase("kind as a string", "<key>kNSCodingType</key>\\s*<integer>(\\d+)</integer>",
            "<key>kNSCodingType</key><string>\\1</string>");
    xmlCase("huge kind", "<key>kNSCodingType</key>\\s*<integer>\\d+</integer>",
            "<key>kNSCodingType</key><integer>9223372036854775807</integer>");
    xmlCase("huge reals", "<real>[^<]*</real>", "<real>1e308</real>");
    xmlCase("negative reals", "<real>[^<]*</real>", "<real>-1e30</real>");
    xmlCase("huge integers", "<integer>\\d+</integer>", "<integer>9223372036854775807</integer>");
    xmlCase("no resource identifier", "<key>kNSCodingResourceID</key>", "<key>kNSCodingResourceIDx</key>");
    xmlCase("no hash key", "<key>kNSCodingHashID</key>", "<key>kNSCodingHashIDx</key>");
    xmlCase("no class", "<key>\\$class</key>", "<key>$klass</key>");
    xmlCase("thumbnail as a string", "<key>Thumbnail</key>\\s*<data>[^<]*</data>", "<key>Thumbnail</key><string>x</string>");
    ASSERT_GE(cases.size(), 100u);

    const auto before = treeOf(out.path());
    int refused = 0;
    for (const auto &[name, bytes] : cases) {
        SCOPED_TRACE(name.toStdString());
        replaceData(bytes);
        const QString error = readError();
        if (!error.isEmpty()) {
            ++refused;
            EXPECT_TRUE(error.contains("Holiday")) << error.toStdString();
        }
        replaceData(archive);
        EXPECT_EQ(treeOf(out.path()), before);
    }
    // Most damage is seen; only flips in text or in numbers that stay in range can open.
    EXPECT_GT(refused, int(cases.size()) * 3 / 4);
}

// The embedded thumbnail pictures with one bit flipped: the project opens with every
// thumbnail made again from its media, and a note names each.
TEST_F(HostilePackage, ADamagedThumbnailIsMadeAgainWithANote)
{
    const HLProjectContents intact = HLProjectPackage::read(package);
    // Each resource's "Thumbnail" picture with a bit flipped inside its data.
    QString xml = QString::fromUtf8(toXml(archive));
    const QRegularExpression thumbnail("(<key>Thumbnail</key>\\s*<data>)([^<]*)(</data>)");
    int pictures = 0;
    for (qsizetype from = 0;;) {
        const QRegularExpressionMatch match = thumbnail.match(xml, from);
        if (!match.hasMatch())
            break;
        QByteArray png = QByteArray::fromBase64(match.captured(2).toLatin1());
        png = flipped(png, png.size() * 2 / 3, 3);
        xml.replace(match.capturedStart(2), match.capturedLength(2), QString::fromLatin1(png.toBase64()));
        from = match.capturedStart(2) + 1;
        ++pictures;
    }
    const QByteArray damaged = toBinary(xml.toUtf8());
    ASSERT_GT(pictures, 0);
    replaceData(damaged);

    QStringList notes;
    HLProjectContents opened;
    ASSERT_NO_THROW(opened = HLProjectPackage::read(package, &notes));
    const auto items = opened.resourceItems();
    const auto originals = intact.resourceItems();
    // One note for each resource with a thumbnail, however many records it has.
    EXPECT_EQ(notes.size(), std::count_if(originals.begin(), originals.end(), [](const auto &item) {
                  return !item->isAudio();
              })) << notes.join("\n").toStdString();
    ASSERT_EQ(items.size(), originals.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(items[i]->strHashID().toStdString());
        const QImage remade = items[i]->isImage() ? items[i]->imageThumbnail() : items[i]->videoThumbnail();
        const QImage original = originals[i]->isImage() ? originals[i]->imageThumbnail() : originals[i]->videoThumbnail();
        EXPECT_FALSE(items[i]->thumbnailLost());
        EXPECT_EQ(remade.convertToFormat(QImage::Format_ARGB32), original.convertToFormat(QImage::Format_ARGB32));
        if (!original.isNull()) {
            EXPECT_TRUE(notes.join("\n").contains(items[i]->dicInfo().value("Name").toString()));
        }
    }
    EXPECT_TRUE(SampleProject::sameProject(opened, intact));

    // Without its media a thumbnail can't be made again: refused, naming the media.
    QFile::remove(photoFolder() + "/Preview");
    QFile source(photoFile());
    ASSERT_TRUE(source.open(QIODevice::WriteOnly | QIODevice::Truncate));
    source.close();
    EXPECT_TRUE(readError().contains("thumbnail")) << readError().toStdString();
}

} // namespace
