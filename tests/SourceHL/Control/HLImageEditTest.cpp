// The photo and video editor in the main window: opened by a double click on a cell, every
// change through its real controls reaches the model once through the gate, marks the project
// edited and shows in the display that fills the preview area.
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Editors/HLCropView.h"
#include "SourceHL/Editors/HLImageEditVCtrl.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "StripFixture.h"
#include "tests/support/MediaFixtures.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

class HLImageEditTest : public StripFixture
{
protected:
    void SetUp() override
    {
        StripFixture::SetUp();
        ctrl().gate().subscribe([this](HLChange::Kinds kinds) {
            if (kinds & HLChange::kEdits)
                ++announcements;
        });
    }

    // A 1920 × 960 photo, red on the left and blue on the right, and a 6 s clip with sound.
    void addPhotoAndClip()
    {
        const QString photo = folder.file(QStringLiteral("in/halves.png"));
        ASSERT_TRUE(MediaFixtures::writeImage(photo, MediaFixtures::halves(1920, 960), "PNG"));
        const QString clip = writeClip(6.0);
        ctrl().mediaImport().p_addVideosAndImagesOutTo({photo, clip}, QString());
        waitForImport();
        ASSERT_EQ(ctrl().oTimeline()->renderItemsOf(hashes().value(0)).size(), 2);
    }
    std::shared_ptr<HLRenderItem> itemAt(int index) const
    {
        return ctrl_const().oTimeline()->renderItemsOf({hashes().value(0).value(index)}).value(0);
    }
    const HLMainWndCtrl &ctrl_const() const { return const_cast<HLImageEditTest *>(this)->ctrl(); }

    void open(int index)
    {
        press(cell(0, index));
        QTest::mouseDClick(cell(0, index), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        ASSERT_TRUE(ctrl().bIsEditing());
        ASSERT_TRUE(pane().isNowEditing());
        QCoreApplication::processEvents();
    }
    HLImageEditVCtrl &pane() { return *ctrl().vCtrlImageEdit(); }

    // Types text into a field as a user does and leaves it with the return key.
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // Runs a user step; expects it to reach the model once, through the gate, and mark the project.
    void expectOneEdit(const char *what, const std::function<void()> &step)
    {
        SCOPED_TRACE(what);
        ctrl().setEdited(false);
        announcements = 0;
        step();
        EXPECT_EQ(announcements, 1);
        EXPECT_TRUE(ctrl().isEdited());
    }
    // A step that must leave the model as it was.
    void expectNoEdit(const char *what, const std::function<void()> &step)
    {
        SCOPED_TRACE(what);
        ctrl().setEdited(false);
        announcements = 0;
        step();
        EXPECT_EQ(announcements, 0);
        EXPECT_FALSE(ctrl().isEdited());
    }

    // The display's picture and a pixel at a fraction of it.
    QColor shown(double fx, double fy)
    {
        const QImage &image = pane().vImageDisplay->imgDisplay();
        return image.pixelColor(int(fx * (image.width() - 1)), int(fy * (image.height() - 1)));
    }
    static bool isRed(const QColor &c) { return c.red() > 180 && c.blue() < 80; }
    static bool isBlue(const QColor &c) { return c.blue() > 180 && c.red() < 80; }
    static bool isGrey(const QColor &c) { return std::abs(c.red() - c.blue()) < 20 && std::abs(c.red() - c.green()) < 20; }

    int announcements = 0;
};

TEST_F(HLImageEditTest, PhotoIsCroppedTurnedFlippedAndColouredThroughItsControls)
{
    addPhotoAndClip();
    const auto item = itemAt(0);
    open(0);
    QWidget *host = ctrl().window()->vDisplayBackView;
    EXPECT_EQ(pane().vDisplay->parentWidget(), host);
    EXPECT_TRUE(pane().vDisplay->isVisible());
    EXPECT_FALSE(pane().vTrim->isVisible()) << "a photo has no trim";
    EXPECT_EQ(pane().edtCropW->text(), QStringLiteral("1920"));
    EXPECT_TRUE(isRed(shown(0.1, 0.5)));
    EXPECT_TRUE(isBlue(shown(0.9, 0.5)));

    expectOneEdit("flip", [&] { QTest::mouseClick(pane().btnRotateH, Qt::LeftButton); });
    EXPECT_TRUE(item->oRotate()->bFlipH());
    EXPECT_TRUE(isBlue(shown(0.1, 0.5)));
    EXPECT_TRUE(isRed(shown(0.9, 0.5)));

    expectOneEdit("turn left", [&] { QTest::mouseClick(pane().btnRotateL, Qt::LeftButton); });
    EXPECT_EQ(item->oRotate()->iRotation(), 90);
    EXPECT_GT(pane().vImageDisplay->imgDisplay().height(), pane().vImageDisplay->imgDisplay().width());
    EXPECT_NE(isRed(shown(0.5, 0.1)), isRed(shown(0.5, 0.9))) << "the halves are now above each other";
    EXPECT_EQ(pane().edtCropW->text(), QStringLiteral("960")) << "the crop is of the turned picture";
    // On a quarter-turned picture the horizontal flip is the record's vertical one.
    expectOneEdit("flip turned", [&] { QTest::mouseClick(pane().btnRotateH, Qt::LeftButton); });
    EXPECT_TRUE(item->oRotate()->bFlipV());
    expectOneEdit("reset turn", [&] { QTest::mouseClick(pane().btnRotateReset, Qt::LeftButton); });
    EXPECT_EQ(item->oRotate()->iRotation(), 0);
    EXPECT_TRUE(isRed(shown(0.1, 0.5)));

    expectOneEdit("saturation to nothing", [&] { QTest::keyClick(pane().sldEffect[HLImageEditVCtrl::Saturation], Qt::Key_Home); });
    EXPECT_EQ(item->oEffect()->dSaturation(), 0.0f);
    EXPECT_EQ(pane().edtEffect[HLImageEditVCtrl::Saturation]->text(), QStringLiteral("0.0"));
    EXPECT_TRUE(isGrey(shown(0.1, 0.5)));
    expectOneEdit("typed effect", [&] { type(pane().edtEffect[HLImageEditVCtrl::Brightness], QStringLiteral("1.26")); });
    EXPECT_FLOAT_EQ(item->oEffect()->dBrightness(), 1.3f) << "read back from the written text";
    expectOneEdit("reset effect", [&] { QTest::mouseClick(pane().btnEffectReset, Qt::LeftButton); });
    EXPECT_TRUE(isRed(shown(0.1, 0.5)));
    expectNoEdit("resets of what is as it was", [&] {
        for (QToolButton *reset : {pane().btnEffectReset, pane().btnRotateReset, pane().btnCropReset})
            QTest::mouseClick(reset, Qt::LeftButton);
    });

    expectOneEdit("typed crop width", [&] { type(pane().edtCropW, QStringLiteral("960")); });
    EXPECT_FLOAT_EQ(item->oCrop()->dRatioW(), 0.5f);
    EXPECT_EQ(pane().edtCropW->text(), QStringLiteral("960"));
    const HLCropGeometry::Rect d = pane().imageDisplayFrame();
    EXPECT_NEAR(pane().vImageCrop->rctDisplayFrame().width, d.width / 2, 1);
    // The preview area shows the crop: the picture outside it darkened, inside not.
    const QImage grabbed = host->grab().toImage();
    const QPoint origin = pane().vImageBack->mapTo(host, QPoint(0, 0));
    const int y = origin.y() + pane().vImageBack->height() / 2;
    const QColor inside = grabbed.pixelColor(origin.x() + int(d.x + d.width * 0.1), y);
    const QColor outside = grabbed.pixelColor(origin.x() + int(d.x + d.width * 0.9), y);
    EXPECT_TRUE(isRed(inside)) << inside.name().toStdString();
    EXPECT_LT(outside.blue(), 150) << "darkened blue: " << outside.name().toStdString();
    EXPECT_GT(outside.blue(), 60);

    // A shown width is rounded: leaving it as shown must not write it back.
    expectOneEdit("crop a third", [&] {
        ctrl().gate().perform(HLChange::Style, [&] { item->oCrop()->setDRatioW(0.3333f); });
    });
    pane().stopEditing();
    pane().startEditing(item, host);
    EXPECT_EQ(pane().edtCropW->text(), QStringLiteral("639"));
    expectNoEdit("a visit to the width field", [&] {
        pane().edtCropW->setFocus();
        QTest::keyClick(pane().edtCropW, Qt::Key_Return);
        pane().edtEffect[0]->setFocus();
    });
    EXPECT_EQ(item->oCrop()->dRatioW(), 0.3333f);
    expectNoEdit("letters in the width field", [&] { type(pane().edtCropW, QStringLiteral("abc")); });
    EXPECT_EQ(pane().edtCropW->text(), QStringLiteral("639"));
    EXPECT_EQ(item->oCrop()->dRatioW(), 0.3333f);

    // Turning clears the crop.
    expectOneEdit("turn right", [&] { QTest::mouseClick(pane().btnRotateR, Qt::LeftButton); });
    EXPECT_EQ(item->oCrop()->dRatioW(), 1.0f);

    // Stopping raises the renderers' mark and never lowers it.
    const quint64 before = item->iDirtyGeneration();
    QTest::mouseClick(pane().btnDone, Qt::LeftButton); // Done ends the editing of the edit area
    EXPECT_FALSE(ctrl().bIsEditing());
    EXPECT_FALSE(pane().isNowEditing());
    EXPECT_GT(item->iDirtyGeneration(), before);
    EXPECT_EQ(pane().vDisplay->parentWidget(), nullptr) << "the display left the preview area";
}

TEST_F(HLImageEditTest, CropSyncWaitsForALaidOutDisplay)
{
    addPhotoAndClip();
    const auto item = itemAt(0);
    pane().startEditing(item, nullptr); // no host: the display has no size
    pane().vImageCrop->setRctDisplayFrame({10, 10, 30, 30});
    expectNoEdit("a crop change over an empty display", [&] {
        QTest::mouseClick(pane().vImageCrop, Qt::LeftButton); // reports its change
        pane().vImageCrop->setFocus();
        QTest::keyClick(pane().vImageCrop, Qt::Key_Left);
    });
    EXPECT_EQ(item->oCrop()->dRatioW(), 1.0f);
    pane().stopEditing();
}

TEST_F(HLImageEditTest, ClipIsTrimmedSetInVolumeAndSoloAndPlaysItsPreview)
{
    addPhotoAndClip();
    const auto item = itemAt(1);
    const auto trim = item->oTrim();
    ASSERT_TRUE(trim);
    open(1);
    EXPECT_TRUE(pane().vTrim->isVisible());
    EXPECT_TRUE(pane().vVideoBack->isVisible());
    EXPECT_EQ(pane().tldPlayDuration->text(), QStringLiteral("00:06"));
    EXPECT_EQ(pane().edtVideoVolume->text(), QStringLiteral("100%"));

    expectOneEdit("typed volume", [&] { type(pane().edtVideoVolume, QStringLiteral("150")); });
    EXPECT_FLOAT_EQ(trim->dVolume(), 1.5f);
    EXPECT_EQ(pane().edtVideoVolume->text(), QStringLiteral("150%"));
    EXPECT_EQ(pane().sldVideoVolume->value(), 150);
    expectNoEdit("a visit to the volume field", [&] { type(pane().edtVideoVolume, QStringLiteral("150%")); });
    expectOneEdit("volume over the top", [&] { type(pane().edtVideoVolume, QStringLiteral("400")); });
    EXPECT_FLOAT_EQ(trim->dVolume(), 3.0f);
    expectOneEdit("solo off", [&] { QTest::mouseClick(pane().btnVideoSolo, Qt::LeftButton, {}, QPoint(8, pane().btnVideoSolo->height() / 2)); });
    EXPECT_FALSE(trim->bSolo());

    expectOneEdit("typed start", [&] { type(pane().edtTrimStart, QStringLiteral("0:02")); });
    expectOneEdit("typed end", [&] { type(pane().edtTrimEnd, QStringLiteral("5")); });
    EXPECT_FLOAT_EQ(trim->dTrimMin(), 2.0f);
    EXPECT_FLOAT_EQ(trim->dTrimMax(), 5.0f);
    EXPECT_EQ(pane().edtTrimEnd->text(), QStringLiteral("00:05.00"));
    // Times that are no finite number change nothing; a negative one is the start.
    for (const char *text : {"nan", "inf", "-inf"}) {
        expectNoEdit(text, [&] { type(pane().edtTrimEnd, QString::fromLatin1(text)); });
        EXPECT_FLOAT_EQ(trim->dTrimMax(), 5.0f) << text;
    }
    expectNoEdit("a visit to the start field", [&] { type(pane().edtTrimStart, QStringLiteral("00:02.00")); });
    expectOneEdit("negative start", [&] { type(pane().edtTrimStart, QStringLiteral("-5")); });
    EXPECT_EQ(trim->dTrimMin(), 0.0f);
    expectOneEdit("start again", [&] { type(pane().edtTrimStart, QStringLiteral("2")); });

    // The preview plays its own movie and loops in the kept range, driven tick by tick here.
    const auto &movie = pane().oVideo().movie();
    ASSERT_TRUE(movie);
    EXPECT_NE(movie.get(), item->oResource()->video().get()) << "the editor's own movie";
    EXPECT_DOUBLE_EQ(movie->volume(), 3.0);
    QTest::mouseClick(pane().btnVideoPlay, Qt::LeftButton);
    EXPECT_TRUE(pane().oVideo().isPlay());
    EXPECT_TRUE(pane().oVideo().timer().isActive());
    const auto tick = [&] { QMetaObject::invokeMethod(&pane().oVideo().timer(), "timeout"); };
    movie->setCurrentTime(zk_ff_time_from_double(4.95));
    tick();
    EXPECT_NEAR(zk_ff_time_to_double(movie->currentTime()), 2.0, 0.2) << "back to the start near the end";
    EXPECT_NEAR(MediaFixtures::frameIndexOf(pane().vImageDisplay->imgDisplay()), 50, 5) << "the frame at 2 s";
    QTest::mouseClick(pane().btnVideoPlay, Qt::LeftButton);
    EXPECT_FALSE(pane().oVideo().isPlay());

    // A volume shown rounded is not written back by a visit.
    expectOneEdit("an exact volume", [&] { ctrl().gate().perform(HLChange::Style, [&] { trim->setDVolume(1.234f); }); });
    pane().stopEditing();
    pane().startEditing(item, ctrl().window()->vDisplayBackView);
    EXPECT_EQ(pane().edtVideoVolume->text(), QStringLiteral("123%"));
    expectNoEdit("a visit to the volume field", [&] {
        pane().edtVideoVolume->setFocus();
        QTest::keyClick(pane().edtVideoVolume, Qt::Key_Return);
    });
    EXPECT_EQ(trim->dVolume(), 1.234f);

    expectOneEdit("reset", [&] { QTest::mouseClick(pane().btnTrimReset, Qt::LeftButton); });
    EXPECT_EQ(trim->dTrimMin(), 0.0f);
    EXPECT_FLOAT_EQ(trim->dVolume(), 1.0f);
    EXPECT_TRUE(trim->bSolo());
    expectNoEdit("reset again", [&] { QTest::mouseClick(pane().btnTrimReset, Qt::LeftButton); });
}

TEST_F(HLImageEditTest, AVideoWithoutTrimIsEditedAsAPhoto)
{
    addPhotoAndClip();
    const auto item = itemAt(1);
    ctrl().gate().perform(HLChange::None, [&] { item->setOTrim(nullptr); });
    pane().startEditing(item, ctrl().window()->vDisplayBackView);
    ASSERT_TRUE(pane().isNowEditing());
    EXPECT_FALSE(pane().isVideo());
    EXPECT_TRUE(pane().vCtrlTrimline()->arySelections().empty()) << "no null in the trim line";
    EXPECT_FALSE(pane().vTrim->isVisible());
    EXPECT_FALSE(pane().vVideoBack->isVisible());
    expectNoEdit("play, set start, volume", [&] {
        pane().videoPlay();
        pane().trimStart();
        pane().videoVolume(2.0f);
    });
    EXPECT_FALSE(pane().oVideo().isPlay());
    expectOneEdit("a turn still works", [&] { QTest::mouseClick(pane().btnRotateL, Qt::LeftButton); });
    pane().stopEditing();
}

} // namespace
