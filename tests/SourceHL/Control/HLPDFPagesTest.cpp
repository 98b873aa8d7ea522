#include "SourceHL/Control/HLPDFPages.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "tests/support/TestProject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

namespace {

const QColor kPageColors[] = {Qt::red, Qt::green, Qt::blue};

// Three letter-size pages, each filled with its own colour.
QString writeThreePages(const TestFolder &folder)
{
    const QString path = folder.file(QStringLiteral("in/Report.pdf"));
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF());
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int page = 0; page < 3; ++page) {
        if (page > 0)
            writer.newPage();
        painter.fillRect(QRect(0, 0, writer.width(), writer.height()), kPageColors[page]);
    }
    painter.end();
    return path;
}

// A one-page PDF written by hand: a page of any size, or one locked with a password that
// an empty password does not open.
QString writeHandmade(const TestFolder &folder, const QString &name, double width, double height, bool locked)
{
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    const auto object = [&](const QByteArray &body) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(width) + " " +
           QByteArray::number(height) + "] >>");
    if (locked)
        object("<< /Filter /Standard /V 1 /R 2 /P -4 /O <" + QByteArray(64, 'a') + "> /U <" + QByteArray(64, 'b') +
               "> >>");
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) + " /Root 1 0 R";
    if (locked)
        pdf += " /Encrypt 4 0 R /ID [<" + QByteArray(32, '1') + "> <" + QByteArray(32, '1') + ">]";
    pdf += " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    const QString path = folder.file(QStringLiteral("in/") + name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    return path;
}

class HLPDFPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
        TestProject::setUpPools(folder);
        QDir().mkpath(pages());
    }
    QString pages() const { return folder.file(QStringLiteral("PDFs")); }

    TestFolder folder;
    std::atomic<bool> cancelled{false};
    const QSizeF renderSize{1280, 960};
};

TEST_F(HLPDFPagesTest, PagesFitTheRenderSizeAndNoneGrowsPastTheBound)
{
    const struct
    {
        QSizeF page, render;
        QSize pixels;
    } cases[] = {
        {{612, 792}, {1280, 960}, {742, 960}},   // portrait letter: as tall as a frame
        {{792, 612}, {1280, 960}, {1242, 960}},  // landscape
        {{100, 75}, {1280, 960}, {1280, 960}},   // a small page grows sharp
        {{14400, 14400}, {1280, 960}, {960, 960}},
        {{14400, 14400}, {100000, 100000}, {8192, 8192}},
        {{14400, 1}, {1280, 960}, {1280, 1}},
        {{0, 100}, {1280, 960}, {1, 1}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HLPDFPages::pixelSizeOf(c.page, c.render), c.pixels) << c.page.width() << "x" << c.page.height();
}

TEST_F(HLPDFPagesTest, PagesThenThePhotoInOrderAsPhotosOfTheProject)
{
    const QString pdf = writeThreePages(folder);
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::yellow);
    const QString photoPath = folder.file(QStringLiteral("in/photo.png"));
    ASSERT_TRUE(photo.save(photoPath));

    QStringList skipped;
    const QStringList paths = HLPDFPages::expandPaths({pdf, photoPath}, pages(), renderSize, cancelled, &skipped);
    EXPECT_TRUE(skipped.isEmpty());
    ASSERT_EQ(paths.size(), 4);
    EXPECT_EQ(paths[3], photoPath);
    const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage);
    for (int page = 0; page < 3; ++page) {
        const QFileInfo info(paths[page]);
        EXPECT_EQ(info.absolutePath(), QDir(pages()).absolutePath());
        EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("Report_"))) << qPrintable(info.fileName());
        EXPECT_EQ(info.suffix(), QStringLiteral("tiff"));
        const QImage image(paths[page]);
        EXPECT_EQ(image.size(), QSize(742, 960)) << page;
        EXPECT_EQ(image.pixelColor(371, 480), kPageColors[page]) << page;
        ASSERT_TRUE(HLResourceItem::isKindOfImage(paths[page]));
        QString reason;
        const auto item = pool->addResourceFrom(
            paths[page],
            [](HLResourceType kind, const QString &id, const QString &hash, const QString &path, QString *why) {
                return HLResourceItem::itemOf(kind, id, hash, path, why);
            },
            &reason);
        ASSERT_TRUE(item) << qPrintable(reason);
        EXPECT_EQ(item->imageResolution(), QSizeF(742, 960));
    }
}

TEST_F(HLPDFPagesTest, FolderOfThePagesOnlyForAnImportWithAPdf)
{
    const QString temp = folder.file(QStringLiteral("session"));
    QDir().mkpath(temp);
    EXPECT_TRUE(HLPDFPages::makeFolderFor({"/a/photo.jpg", "/a/clip.mp4"}, temp).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QDir(temp).filePath("PDFs")));
    EXPECT_EQ(HLPDFPages::makeFolderFor({"/a/photo.jpg", "/a/Report.PDF"}, temp), QDir(temp).filePath("PDFs"));
    EXPECT_TRUE(QFileInfo(QDir(temp).filePath("PDFs")).isDir());
    // A file where the folder must go: no folder.
    QFile blocker(folder.file(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(HLPDFPages::makeFolderFor({"/a/Report.pdf"}, blocker.fileName()).isEmpty());
}

TEST_F(HLPDFPagesTest, LockedBrokenAndHugePdfs)
{
    QStringList skipped;
    const QString locked = writeHandmade(folder, QStringLiteral("Locked.pdf"), 612, 792, true);
    const QString broken = folder.file(QStringLiteral("in/Broken.pdf"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\nnot really");
    file.close();
    const QString huge = writeHandmade(folder, QStringLiteral("Huge.pdf"), 14400, 14400, false);
    const QStringList paths = HLPDFPages::expandPaths({locked, broken, huge}, pages(), renderSize, cancelled, &skipped);
    ASSERT_EQ(skipped.size(), 2);
    EXPECT_TRUE(skipped[0].startsWith(QStringLiteral("Locked.pdf: "))) << qPrintable(skipped[0]);
    EXPECT_TRUE(skipped[0].contains(QStringLiteral("password"))) << qPrintable(skipped[0]);
    EXPECT_TRUE(skipped[1].startsWith(QStringLiteral("Broken.pdf: "))) << qPrintable(skipped[1]);
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(QImage(paths[0]).size(), QSize(960, 960));
    // Cancelled before it starts: nothing is written.
    cancelled = true;
    EXPECT_TRUE(HLPDFPages::expandPaths({huge}, pages(), renderSize, cancelled, &skipped).isEmpty());
}

} // namespace
