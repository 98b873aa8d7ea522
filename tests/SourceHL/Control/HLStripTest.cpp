// The slideshow strip on a real main window: what it shows, choosing, moving and deleting
// with the mouse, files dropped on it, and the open panel's road into it.
#include "tests/SourceHL/Control/StripFixture.h"

#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLContentlineBackView.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLPlaylineHeadView.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLTimelineBackView.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"
#include "SourceHL/View/HLTimelineTransitionBackView.h"
#include "tests/support/AlertAnswers.h"
#include "tests/support/ModalMessage.h"
#include "tests/support/ModalWatch.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

// A photo editor with no view of its own: the window opens it for a chosen cell.
class PhotoEditor : public HLEditorPane
{
public:
    QWidget *view() override { return nullptr; }
    bool isNowEditing() const override { return !m_id.isEmpty(); }
    QString editingID() const override { return m_id; }
    void startEditing(const QString &identifier) override { m_id = identifier; }
    void stopEditing() override { m_id.clear(); }

private:
    QString m_id;
};

class HLStripTest : public StripFixture
{
};

QMimeData *filesData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

TEST_F(HLStripTest, ShowsARowPerItemWithItsCellsAndTheTransitionTilesBetween)
{
    addItems({2, 3, 1});
    ASSERT_EQ(ssids().size(), 3);
    HLTimelineVCtrl &s = strip();
    ASSERT_EQ(s.arySlidBackViews().size(), 3);
    ASSERT_EQ(s.aryTranBackViews().size(), 2); // the last item has no transition
    EXPECT_EQ(s.arySlidItemViews().size(), 6);
    EXPECT_EQ(s.aryBaseBackViews().size(), 5);
    // Rows from x 3, 80 points a cell, a tile after each but the last.
    EXPECT_EQ(row(0)->geometry(), QRect(3, 0, 160, 100));
    EXPECT_EQ(s.aryTranBackViews()[0]->geometry(), QRect(163, 0, 80, 100));
    EXPECT_EQ(row(1)->geometry(), QRect(243, 0, 240, 100));
    EXPECT_EQ(row(2)->geometry(), QRect(563, 0, 80, 100));
    EXPECT_EQ(cell(1, 2)->geometry(), QRect(160, 20, 80, 80)); // its slot, bottom of the row
    EXPECT_TRUE(row(1)->strTitle().contains(QStringLiteral("    3 Items    00:00:")));
    EXPECT_TRUE(row(2)->strTitle().contains(QStringLiteral("    1 Item    ")));
    EXPECT_TRUE(s.aryTranBackViews()[0]->strTitle().endsWith(QLatin1Char('s')));
    EXPECT_FALSE(cell(0, 0)->imgThumb().isNull());
    EXPECT_EQ(s.aryTranBackViews()[1]->UIHashID(), ssids()[1]);

    // A rebuild keeps the views of the items that stay.
    HLRenderItemView *kept = cell(1, 0);
    s.updateUI();
    EXPECT_EQ(cell(1, 0), kept);
    // The content area is as wide as the strip plus its margins, or the view.
    const double wanted = HLTimelineItemUI::maxUIOffset(*ctrl().oTimeline()) + 60;
    EXPECT_GE(contentline().vContentlineBack()->width(), wanted);
}

TEST_F(HLStripTest, ChoosingRowsTilesAndCellsReportsOneChoice)
{
    addItems({2, 3, 1});
    HLTimelineVCtrl &s = strip();
    const QStringList ids = ssids();
    ASSERT_EQ(ids.size(), 3);

    press(row(1));
    EXPECT_EQ(ctrl().choice().strSSSID, ids[1]);
    EXPECT_TRUE(ctrl().choice().bCanEdit);
    EXPECT_TRUE(row(1)->bIsChosen());
    // Choosing seeks to the row's left edge (rows are laid out from x 3): the play line now
    // stands on it.
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), HLTimelineItemUI::timeAtUI(*ctrl().oTimeline(), 243));
    EXPECT_NEAR(contentline().vPlaylineHead()->center(), 10 + 243, 1);

    // Shift extends over rows and tiles in display order.
    press(row(0), Qt::ShiftModifier);
    EXPECT_EQ(s.aryChosenBkViews().size(), 3);
    EXPECT_TRUE(s.aryTranBackViews()[0]->bIsChosen());
    EXPECT_TRUE(ctrl().choice().strSSSID.isEmpty()); // no single row
    EXPECT_EQ(s.strAddSSID(), ids[0]);
    EXPECT_FALSE(ctrl().choice().bCanEdit);

    // Command takes one out; a plain press on a chosen view keeps the choice.
    press(s.aryTranBackViews()[0], Qt::ControlModifier);
    EXPECT_EQ(s.aryChosenBkViews().size(), 2);
    EXPECT_FALSE(s.aryTranBackViews()[0]->bIsChosen());
    press(row(0));
    EXPECT_EQ(s.aryChosenBkViews().size(), 2);

    // A tile alone: its transition is the choice.
    press(s.aryTranBackViews()[1]);
    EXPECT_EQ(ctrl().choice().strTSSID, ids[1]);
    EXPECT_TRUE(ctrl().choice().strSSSID.isEmpty());

    // A cell unchooses rows and tiles; a cell of another row drops the first row's cells.
    press(cell(1, 0));
    press(cell(1, 2), Qt::ShiftModifier);
    ASSERT_EQ(hashes().size(), 3);
    ASSERT_EQ(hashes()[1].size(), 3);
    EXPECT_EQ(chosenCells(), (QStringList{hashes()[1][0], hashes()[1][1], hashes()[1][2]}));
    EXPECT_FALSE(s.aryTranBackViews()[1]->bIsChosen());
    EXPECT_TRUE(ctrl().choice().strRDID.isEmpty());
    press(cell(0, 1), Qt::ControlModifier);
    EXPECT_EQ(chosenCells(), QStringList{hashes()[0][1]});
    EXPECT_EQ(ctrl().choice().strRDID, hashes()[0][1]);
    EXPECT_EQ(s.strTempSSID(), ids[0]);

    // A second click of a double click on the only chosen view opens the editors.
    static PhotoEditor editor; // outlives the window that holds it
    ctrl().installEditor(HLEditorPane::Image, &editor);
    EXPECT_FALSE(ctrl().bIsEditing());
    QTest::mouseDClick(cell(0, 1), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_TRUE(ctrl().bIsEditing());

    // A press on a row unchooses every cell.
    press(row(2));
    EXPECT_TRUE(chosenCells().isEmpty());
    EXPECT_FALSE(cell(0, 1)->bIsChosen());
}

TEST_F(HLStripTest, ChosenCellsMoveInsideARowBetweenRowsAndOntoTheBackView)
{
    addItems({3, 2});
    const QStringList ids = ssids();
    ASSERT_EQ(hashes().size(), 2);
    const QStringList first = hashes()[0];
    const QStringList second = hashes()[1];

    // Reordered in their own row: the first cell before the gap after the third.
    press(cell(0, 0));
    auto data = dragCell(cell(0, 0));
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat(HLInsideDrag::mimeTypeOf(HLInsideDrag::kSlideshowInsidePboardType)));
    EXPECT_TRUE(data->hasFormat(HLInsideDrag::mimeTypeOf(HLInsideDrag::kTimelineInsidePboardType)));
    ASSERT_TRUE(dropOn(row(0), QPoint(235, 50), data.get()));
    EXPECT_EQ(hashes()[0], (QStringList{first[1], first[2], first[0]}));
    EXPECT_EQ(chosenCells(), QStringList{first[0]});
    EXPECT_TRUE(cell(0, 2)->bIsChosen());

    // Two cells into the other row, before its first cell.
    press(cell(0, 1), Qt::ShiftModifier); // with the chosen one at index 2
    ASSERT_EQ(chosenCells().size(), 2);
    data = dragCell(cell(0, 1));
    ASSERT_TRUE(data);
    ASSERT_TRUE(dropOn(row(1), QPoint(10, 50), data.get()));
    ASSERT_EQ(ssids(), ids);
    EXPECT_EQ(hashes()[0], QStringList{first[1]});
    EXPECT_EQ(hashes()[1], (QStringList{first[2], first[0], second[0], second[1]}));
    EXPECT_EQ(chosenCells().size(), 2);

    // Onto the back view at the left end: a new slideshow item first.
    press(cell(1, 3));
    data = dragCell(cell(1, 3));
    ASSERT_TRUE(data);
    ASSERT_TRUE(dropOn(strip().view(), QPoint(2, 50), data.get()));
    ASSERT_EQ(ssids().size(), 3);
    EXPECT_EQ(hashes()[0], QStringList{second[1]});
    EXPECT_EQ(ssids().mid(1), ids);
    EXPECT_EQ(chosenCells(), QStringList{second[1]});
    EXPECT_TRUE(cell(0, 0)->bIsChosen());
}

TEST_F(HLStripTest, DeletingRemovesTheChosenCellsFromEveryRowTheyAreIn)
{
    addItems({3, 2});
    ASSERT_EQ(hashes().size(), 2);
    const QStringList first = hashes()[0];
    const QStringList second = hashes()[1];
    // Two cells dropped at the end of the strip become new items, one per slideshow item
    // when the mode says one photo an item.
    ctrl().gate().perform(HLChange::None, [&] { ctrl().oTimeline()->setIMode(1); });
    press(cell(0, 0));
    press(cell(0, 1), Qt::ShiftModifier);
    auto data = dragCell(cell(0, 1));
    ASSERT_TRUE(data);
    ASSERT_TRUE(dropOn(strip().view(), QPoint(strip().view()->width() - 5, 50), data.get()));
    ASSERT_EQ(hashes().size(), 4);
    ASSERT_EQ(chosenCells(), (QStringList{first[0], first[1]}));

    ctrl().deleteChosen();
    EXPECT_EQ(hashes(), (QList<QStringList>{{first[2]}, second}));
    EXPECT_TRUE(chosenCells().isEmpty());
    EXPECT_EQ(strip().arySlidItemViews().size(), 3);
}

TEST_F(HLStripTest, DeletingRowsKeepsTheOtherChosenTiles)
{
    addItems({1, 1, 1});
    const QStringList ids = ssids();
    HLTimelineVCtrl &s = strip();
    // Row 0, its tile and the tile of row 1.
    press(row(0));
    press(s.aryTranBackViews()[0], Qt::ControlModifier);
    press(s.aryTranBackViews()[1], Qt::ControlModifier);
    ASSERT_EQ(s.aryChosenBkViews().size(), 3);
    ctrl().deleteChosen();
    EXPECT_EQ(ssids(), ids.mid(1));
    ASSERT_EQ(s.aryChosenBkViews().size(), 1);
    EXPECT_EQ(ctrl().choice().strTSSID, ids[1]);

    // A chosen tile alone deletes nothing.
    ctrl().deleteChosen();
    EXPECT_EQ(ssids(), ids.mid(1));
}

TEST_F(HLStripTest, DroppedFilesGoWhereTheyWereDropped)
{
    addItems({2, 1});
    const QStringList ids = ssids();
    QList<QVariantMap> posts;
    HLNotificationCenter &center = HLNotificationCenter::defaultCenter();
    for (const QString &name : {kTimelineVCtrlSlidInsertNotification, kTimelineVCtrlBackInsertNotification})
        center.addObserver(this, name, [&posts, name](const QString &, const QVariantMap &info) {
            QVariantMap seen = info;
            seen.insert(QStringLiteral("name"), name);
            posts.append(seen);
        });

    // Before the first cell of row 0: joins that item before it.
    ASSERT_FALSE(hashes().isEmpty());
    ASSERT_FALSE(hashes()[0].isEmpty());
    const QString firstCell = hashes()[0][0];
    std::unique_ptr<QMimeData> files(filesData(writePhotos(1)));
    ASSERT_TRUE(dropOn(row(0), QPoint(20, 50), files.get()));
    waitForImport();
    ASSERT_EQ(posts.size(), 1);
    EXPECT_EQ(posts[0].value(QStringLiteral("HashID")).toString(), firstCell);
    EXPECT_EQ(hashes()[0].size(), 3);
    EXPECT_EQ(hashes()[0][1], firstCell);

    // After the last cell of row 1: no HashID, at its end.
    files.reset(filesData(writePhotos(1)));
    ASSERT_TRUE(dropOn(row(1), QPoint(row(1)->width() - 2, 50), files.get()));
    waitForImport();
    ASSERT_EQ(posts.size(), 2);
    EXPECT_FALSE(posts[1].contains(QStringLiteral("HashID")));
    EXPECT_EQ(posts[1].value(QStringLiteral("SSID")).toString(), ids[1]);
    EXPECT_EQ(hashes()[1].size(), 2);

    // On the back view at the end: new items at the end (one photo an item now), no SSID.
    files.reset(filesData(writePhotos(2)));
    ASSERT_TRUE(dropOn(strip().view(), QPoint(strip().view()->width() - 3, 50), files.get()));
    waitForImport();
    ASSERT_EQ(posts.size(), 3);
    EXPECT_FALSE(posts[2].contains(QStringLiteral("SSID")));
    EXPECT_EQ(ssids().mid(0, 2), ids);
    EXPECT_EQ(ssids().size(), 4);
    center.removeObserver(this);
}

// The import copies files on a worker while the user goes on: an item it was to join may be
// gone by the end, and files that can't be added are named rather than dropped in silence.
TEST_F(HLStripTest, AnImportKeepsItsPhotosWhenItsTargetGoesAndNamesWhatItLeftOut)
{
    addItems({1, 1});
    qsizetype count = 2;
    for (const QString &name : {kTimelineVCtrlSlidInsertNotification, kTimelineVCtrlBackInsertNotification}) {
        ASSERT_FALSE(ssids().isEmpty());
        const QString target = ssids()[0];
        const QStringList photos = writePhotos(2);
        HLNotificationCenter::defaultCenter().post(
            name, {{QStringLiteral("Paths"), photos}, {QStringLiteral("SSID"), target}});
        // The target item goes while the files are copied.
        ctrl().gate().perform(HLChange::None, [&] { ctrl().oTimeline()->remove({target}); });
        waitForImport();
        count += 1;
        const auto items = ctrl().oTimeline()->resourceItems();
        ASSERT_EQ(items.size(), count) << qPrintable(name);
        EXPECT_FALSE(ssids().contains(target));
        // At the end, in order.
        EXPECT_EQ(items[count - 2]->imageName(), QFileInfo(photos[0]).completeBaseName()) << qPrintable(name);
        EXPECT_EQ(items[count - 1]->imageName(), QFileInfo(photos[1]).completeBaseName()) << qPrintable(name);
        EXPECT_TRUE(takeModalMessage().isEmpty());
    }

    ctrl().window()->setWindowModified(false);
    const QString notes = folder.file(QStringLiteral("in/notes.txt"));
    QFile(notes).open(QIODevice::WriteOnly);
    ctrl().mediaImport().p_addVideosAndImagesOutTo({notes, folder.file(QStringLiteral("in/lost.jpg"))}, QString());
    waitForImport();
    EXPECT_EQ(ctrl().oTimeline()->resourceItems().size(), count);
    EXPECT_FALSE(ctrl().window()->isWindowModified()); // nothing was added
    const QString message = takeModalMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("2 files were not added."))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("notes.txt: not a photo or a video"))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("lost.jpg: the file is not there"))) << qPrintable(message);
}

TEST_F(HLStripTest, ExportRunsOnlyWhenThereIsSomethingToExport)
{
    int exports = 0;
    ctrl().blkExportMovie = [&](const std::shared_ptr<VETimelineExportMovie> &movie) {
        EXPECT_TRUE(movie);
        ++exports;
    };
    ctrl().p_export(); // what the menu's shortcut does on an empty project
    EXPECT_EQ(exports, 0);
    addItems({1});
    ctrl().p_export();
    EXPECT_EQ(exports, 1);
}

TEST_F(HLStripTest, RefusesDragsThatAreNotOurs)
{
    addItems({2});
    const auto before = hashes();
    press(cell(0, 0));
    // Another program's drag that declares our private type with its own data.
    QMimeData foreign;
    foreign.setData(HLInsideDrag::mimeTypeOf(HLInsideDrag::kSlideshowInsidePboardType), "token");
    foreign.setData(HLInsideDrag::mimeTypeOf(HLInsideDrag::kTimelineInsidePboardType), "token");
    EXPECT_FALSE(dropOn(row(0), QPoint(150, 50), &foreign));
    EXPECT_FALSE(dropOn(strip().view(), QPoint(300, 50), &foreign));
    // Links that are not local files.
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/photo.jpg"))});
    EXPECT_FALSE(dropOn(row(0), QPoint(150, 50), &remote));
    EXPECT_EQ(hashes(), before);
    EXPECT_EQ(row(0)->iDropIndex(), -1);
    EXPECT_EQ(strip().view()->dDropX(), -1);
}

TEST_F(HLStripTest, ScrubbingTheContentLineSeeksAndMovesThePlayLine)
{
    addItems({3});
    HLContentlineBackView *back = contentline().vContentlineBack();
    const QPoint low(back->width() - 5, back->height() - 2);
    // Left of the margin is the start.
    QTest::mousePress(back, Qt::LeftButton, Qt::NoModifier, QPoint(4, back->height() - 2));
    EXPECT_EQ(ctrl().dNowTime(), 0.0f);
    EXPECT_EQ(contentline().vPlaylineHead()->center(), 10);
    // A drag follows the pointer; past the end the project's end.
    QTest::mouseMove(back, QPoint(130, back->height() - 2));
    const float at120 = HLTimelineItemUI::timeAtUI(*ctrl().oTimeline(), 120);
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), at120);
    EXPECT_EQ(contentline().vPlaylineHead()->center(), 130);
    QTest::mouseMove(back, low);
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), ctrl().oTimeline()->dDuration());
    QTest::mouseRelease(back, Qt::LeftButton, Qt::NoModifier, low);
    // After the release a move reports nothing.
    QTest::mouseMove(back, QPoint(130, back->height() - 2));
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), ctrl().oTimeline()->dDuration());

    // Pressing the row the play line stands on keeps the time; another item jumps to its edge.
    contentline().p_seekAt(130);
    press(row(0));
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), at120);
}

// The Add Media button: the open panel, then with a chosen row the question where to add.
TEST_F(HLStripTest, AddMediaAsksWhereWhenARowIsChosen)
{
    addItems({2});
    const QString clip = writeClip(1.0);
    const QStringList photos = writePhotos(1);
    // The panel takes the files typed into its name field.
    const auto choose = [](const QStringList &paths) {
        return [paths](QFileDialog *panel) {
            QStringList quoted;
            for (const QString &path : paths)
                quoted.append(QLatin1Char('"') + path + QLatin1Char('"'));
            panel->findChild<QLineEdit *>()->setText(quoted.join(QLatin1Char(' ')));
            QMetaObject::invokeMethod(panel, "accept");
        };
    };

    // Nothing chosen: no question, new items at the end.
    {
        ModalWatch<QFileDialog> panel(choose({clip}));
        ctrl().window()->btnAddMedia->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel.answered(); }, 60000));
        // The import starts once the panel has gone.
        EXPECT_TRUE(QTest::qWaitFor([&] { return hashes().size() == 2; }, 60000));
        waitForImport();
    }
    ASSERT_EQ(hashes().size(), 2);
    EXPECT_EQ(ctrl().oTimeline()->resourceItems().size(), 3);

    // With the first row chosen, "The end of the selected Item" appends to it.
    press(row(0));
    ModalWatch<QFileDialog> panel(choose(photos));
    AlertAnswers question(QStringList{QStringLiteral("The end of the selected Item")});
    ctrl().window()->btnAddMedia->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.answered() && question.allAnswered(); }, 60000))
        << qPrintable(question.said());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hashes().isEmpty() && hashes()[0].size() == 3; }, 60000));
    waitForImport();
    ASSERT_FALSE(hashes().isEmpty());
    EXPECT_EQ(hashes()[0].size(), 3);
    EXPECT_EQ(strip().arySlidItemViews().size(), 4);
}

// A PDF's pages come in as pictures in page order, where the PDF stood among the files; a
// file of another kind is passed over.
TEST_F(HLStripTest, PDFPagesImportAsPicturesInPageOrder)
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    const QString pdf = folder.file(QStringLiteral("in/doc.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A7));
        writer.setResolution(72);
        QPainter painter(&writer);
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                writer.newPage();
            painter.fillRect(QRect(0, 0, 2000, 2000), colours[page]);
        }
    }
    const QString text = folder.file(QStringLiteral("in/notes.txt"));
    QFile(text).open(QIODevice::WriteOnly);
    const QStringList photo = writePhotos(1);
    ctrl().mediaImport().p_addVideosAndImagesOutTo({pdf, text, photo[0]}, QString());
    waitForImport();

    const auto items = ctrl().oTimeline()->resourceItems();
    ASSERT_EQ(items.size(), 4);
    for (int page = 0; page < 3; ++page) {
        EXPECT_TRUE(items[page]->imageName().startsWith(QStringLiteral("doc_"))) << qPrintable(items[page]->imageName());
        const QImage thumb = cell(0, page)->imgThumb();
        ASSERT_FALSE(thumb.isNull());
        const QColor middle = thumb.pixelColor(thumb.width() / 2, thumb.height() / 2);
        EXPECT_NEAR(middle.hue(), colours[page].hue(), 10) << page;
    }
    EXPECT_EQ(items[3]->imageName(), QFileInfo(photo[0]).completeBaseName());
    EXPECT_TRUE(takeModalMessage().contains(QStringLiteral("notes.txt: not a photo or a video")));
    // The pages' folder goes with the import.
    EXPECT_FALSE(QFileInfo::exists(QDir(ctrl().strTempDirectory()).filePath(QStringLiteral("PDFs"))));
}

} // namespace
