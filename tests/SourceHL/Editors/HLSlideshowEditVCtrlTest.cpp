// The slideshow item editor on real items: what it shows idle and editing, each control's
// one write with its kind and dirty mark, the template pop-up, apply-to-all and the slide
// background's picture.
#include "SourceHL/Editors/HLDurationControl.h"
#include "SourceHL/Editors/HLSlideshowEditVCtrl.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "tests/SourceHL/Editors/HLTemplateEditorsFixture.h"
#include "tests/support/AlertAnswers.h"
#include "widgets/HLColorWell.h"
#include "widgets/HLGradientView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

namespace {

class HLSlideshowEditVCtrlTest : public HLTemplateEditorsFixture
{
protected:
    void SetUp() override
    {
        HLTemplateEditorsFixture::SetUp();
        pane = std::make_unique<HLSlideshowEditVCtrl>();
        pane->setUp(hook(), [this](const QString &ssid) { return timeline->slideshowItemOf(ssid); });
        pane->setUpSync([this](HLQuartzPreviewView *, qint64 type, const QString &name) { synced << QStringLiteral("%1 %2").arg(type).arg(name); },
                        [this] { ++ended; });
        pane->setUpApplyToAllDis([this](float s) { dis << s; }, [this](float s) { ani << s; });
        pane->view()->resize(340, 700);
        pane->view()->show();
        pane->view()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(pane->view()));
    }
    void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    std::unique_ptr<HLSlideshowEditVCtrl> pane;
    QStringList synced;
    int ended = 0;
    QList<float> dis, ani;
};

TEST_F(HLSlideshowEditVCtrlTest, IdleItShowsTheDefaultsDisabled)
{
    EXPECT_EQ(pane->lblDurationAll()->text(), QStringLiteral("0.0"));
    EXPECT_EQ(pane->durationDisplay()->field()->text(), QStringLiteral("0.0"));
    EXPECT_EQ(pane->durationAnimate()->field()->text(), QStringLiteral("0.0"));
    EXPECT_EQ(pane->quartz()->selectedName(), pane->quartz()->aryNames().value(0));
    EXPECT_EQ(synced.last(), QStringLiteral("0 ") + pane->quartz()->aryNames().value(0));
    EXPECT_FALSE(pane->btnPhotoBorder()->isChecked());
    EXPECT_EQ(pane->clwlPhotoBorder()->color(), QColor(Qt::white));
    EXPECT_EQ(pane->sldPhotoBorder()->value(), 70);
    EXPECT_EQ(pane->clwlPhotoBack()->color(), QColor(Qt::black));
    EXPECT_EQ(pane->sldPhotoBack()->value(), 100);
    EXPECT_FALSE(pane->btnSlideBack()->isChecked());
    EXPECT_TRUE(pane->btnSlideBackColor()->isChecked());
    EXPECT_FALSE(pane->vSlideBackColorBack()->isHidden());
    EXPECT_TRUE(pane->vSlideBackImageBack()->isHidden());
    EXPECT_EQ(pane->ppBtnSlideBackColor()->currentText(), QStringLiteral("Single Color Fill"));
    EXPECT_EQ(pane->clwlSlideBackColorSingle()->color(), QColor(Qt::black));
    EXPECT_EQ(pane->clwlSlideBackColorGradientA()->color(), QColor(Qt::green));
    EXPECT_EQ(pane->clwlSlideBackColorGradientB()->color(), QColor(Qt::blue));
    EXPECT_TRUE(pane->vSlideBackImageDisplay()->imgDisplay().isNull());
    for (QWidget *control : std::initializer_list<QWidget *>{
             pane->durationDisplay()->slider(), pane->durationAnimate()->field(), pane->btnApplyToAllDis(),
             pane->btnApplyToAllAni(), pane->quartz()->ppBtnQuartzNames(), pane->btnPhotoBorder(),
             pane->btnPhotoBack(), pane->btnSlideBack(), pane->ppBtnSlideBackColor(), pane->btnSlideBackImageChoose()})
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
    EXPECT_FALSE(pane->quartz()->vQuartzPreview()->bCanPreview());
}

TEST_F(HLSlideshowEditVCtrlTest, EditingShowsTheItemAndItsTemplate)
{
    pane->startEditing(item(0)->strSSID());
    ASSERT_EQ(pane->oItem(), item(0));
    EXPECT_EQ(pane->editingID(), item(0)->strSSID());
    EXPECT_EQ(pane->durationDisplay()->field()->text(), QString::asprintf("%.1f", double(item(0)->dSlideshowDisplay())));
    EXPECT_EQ(pane->lblDurationAll()->text(),
              QString::asprintf("%.1f", double(item(0)->dSlideshowDisplay() + item(0)->dSlideshowAnimate())));
    EXPECT_EQ(pane->quartz()->selectedName(), QStringLiteral("Probe"));
    EXPECT_EQ(synced.last(), QStringLiteral("0 Probe"));
    EXPECT_TRUE(pane->durationAnimate()->slider()->isEnabled());
    EXPECT_TRUE(pane->quartz()->vQuartzPreview()->bCanPreview());
    // The one-photo item has no animation between photos.
    pane->startEditing(item(2)->strSSID());
    ASSERT_TRUE(item(2)->isSpecial());
    EXPECT_TRUE(pane->durationDisplay()->slider()->isEnabled());
    EXPECT_FALSE(pane->durationAnimate()->slider()->isEnabled());
    EXPECT_FALSE(pane->btnApplyToAllAni()->isEnabled());
    // The same item again changes nothing, even where the model moved behind its back.
    const QString shown = pane->lblDurationAll()->text();
    item(2)->setDSlideshowDisplay(9);
    pane->startEditing(item(2));
    EXPECT_EQ(pane->lblDurationAll()->text(), shown);
    pane->stopEditing();
    EXPECT_FALSE(pane->isNowEditing());
    EXPECT_EQ(pane->lblDurationAll()->text(), QStringLiteral("0.0"));
    EXPECT_TRUE(writes.isEmpty());
}

TEST_F(HLSlideshowEditVCtrlTest, EachControlWritesOnceWithItsKindAndDirtyMark)
{
    pane->startEditing(item(0));
    HLSlideshowItem &it = *item(0);
    HLRenderEditSlideshow &frame = *it.oRenderEdit();
    HLBackEditSlideshow &back = *it.oBackEdit();
    const struct
    {
        const char *what;
        std::function<void()> act;
        std::function<bool()> written;
        HLChange::Kinds kinds;
        bool frameDirty, backDirty;
    } cases[] = {
        {"display slider", [&] { pane->durationDisplay()->slider()->setValue(62); },
         [&] { return it.dSlideshowDisplay() == 6.2f; }, HLChange::Timing, false, false},
        {"animate typed", [&] { type(pane->durationAnimate()->field(), QStringLiteral("2.5")); },
         [&] { return it.dSlideshowAnimate() == 2.5f; }, HLChange::Timing, false, false},
        {"border on", [&] { pane->btnPhotoBorder()->click(); }, [&] { return frame.bImageBorder(); }, HLChange::Style,
         true, false},
        {"border colour", [&] { pane->clwlPhotoBorder()->chooseColor(Qt::red); },
         [&] { return frame.clBorderColor() == QColor(Qt::red); }, HLChange::Style, true, false},
        {"border ratio", [&] { pane->sldPhotoBorder()->setValue(150); }, [&] { return frame.dBorderRatio() == 1.5f; },
         HLChange::Style, true, false},
        {"photo background on", [&] { pane->btnPhotoBack()->click(); }, [&] { return frame.bImageBackground(); },
         HLChange::Style, true, false},
        {"photo background ratio", [&] { pane->sldPhotoBack()->setValue(40); },
         [&] { return frame.dBackgroundRatio() == 0.4f; }, HLChange::Style, true, false},
        {"slide background on", [&] { pane->btnSlideBack()->click(); }, [&] { return back.bBackground(); },
         HLChange::Style, false, true},
        {"bottom-up gradient", [&] { emit pane->ppBtnSlideBackColor()->activated(2); },
         [&] { return back.enColorType() == 1 && back.enGradientType() == 1; }, HLChange::Style, false, true},
        {"gradient end", [&] { pane->clwlSlideBackColorGradientB()->chooseColor(Qt::magenta); },
         [&] { return back.clBackGradientEnd() == QColor(Qt::magenta); }, HLChange::Style, false, true},
        {"single colour", [&] { emit pane->ppBtnSlideBackColor()->activated(0); },
         [&] { return back.enColorType() == 0 && back.enGradientType() == 1; }, HLChange::Style, false, true},
        {"image kind", [&] { pane->btnSlideBackImage()->click(); }, [&] { return back.enBackType() == 1; },
         HLChange::Style, false, true},
    };
    for (const auto &c : cases) {
        writes.clear();
        const quint64 frameGeneration = frame.iDirtyGeneration();
        const quint64 backGeneration = back.iDirtyGeneration();
        c.act();
        EXPECT_EQ(writes, QList<HLChange::Kinds>{c.kinds}) << c.what;
        EXPECT_TRUE(c.written()) << c.what;
        EXPECT_EQ(frame.iDirtyGeneration() > frameGeneration, c.frameDirty) << c.what;
        EXPECT_EQ(back.iDirtyGeneration() > backGeneration, c.backDirty) << c.what;
    }
    // What the controls show follows the model.
    EXPECT_EQ(pane->lblDurationAll()->text(), QStringLiteral("8.7"));
    EXPECT_TRUE(pane->clwlPhotoBorder()->isEnabled());
    EXPECT_TRUE(pane->vSlideBackColorBack()->isHidden());
    EXPECT_FALSE(pane->vSlideBackImageBack()->isHidden());
}

TEST_F(HLSlideshowEditVCtrlTest, TheColourKindShowsWhatTheRecordHolds)
{
    pane->startEditing(item(0));
    const struct
    {
        qint64 colorType, gradientType;
        int shown;
        bool singleShown;
        qint64 sampleType;
    } cases[] = {{0, 0, 0, true, 0}, {0, 1, 0, true, 1}, {1, 0, 1, false, 0}, {1, 1, 2, false, 1}, {5, 3, 2, false, 1}};
    HLBackEditSlideshow &back = *item(0)->oBackEdit();
    back.setClBackSingle(Qt::darkRed);
    back.setClBackGradientStart(Qt::yellow);
    back.setClBackGradientEnd(Qt::darkBlue);
    for (const auto &c : cases) {
        back.setEnColorType(c.colorType);
        back.setEnGradientType(c.gradientType);
        pane->stopEditing();
        pane->startEditing(item(0));
        EXPECT_EQ(pane->ppBtnSlideBackColor()->currentIndex(), c.shown) << c.colorType << c.gradientType;
        EXPECT_EQ(pane->vSlideBackColorSingleBack()->isHidden(), !c.singleShown);
        EXPECT_EQ(pane->vSlideBackColorDisplay()->enType(), c.sampleType);
        EXPECT_EQ(pane->vSlideBackColorDisplay()->clColorLB(), c.singleShown ? QColor(Qt::darkRed) : QColor(Qt::yellow));
        EXPECT_EQ(pane->vSlideBackColorDisplay()->clColorRU(), c.singleShown ? QColor(Qt::darkRed) : QColor(Qt::darkBlue));
    }
}

TEST_F(HLSlideshowEditVCtrlTest, ChoosingATemplateResetsTheItemToIt)
{
    pane->startEditing(item(0));
    item(0)->setDSlideshowDisplay(9);
    emit pane->quartz()->ppBtnQuartzNames()->activated(pane->quartz()->aryNames().indexOf(QStringLiteral("ProbeFramed")));
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Timing | HLChange::Style});
    EXPECT_EQ(item(0)->oSlideshowInfo()->strName(), QStringLiteral("ProbeFramed"));
    EXPECT_FLOAT_EQ(item(0)->dSlideshowDisplay(), 4.0f);
    EXPECT_TRUE(item(0)->oRenderEdit()->bImageBorder()); // the framed probe prefers a border
    EXPECT_TRUE(pane->btnPhotoBorder()->isChecked());
    EXPECT_EQ(synced.last(), QStringLiteral("0 ProbeFramed"));
}

TEST_F(HLSlideshowEditVCtrlTest, ATemplateTheCatalogueDoesNotListShowsNoEntry)
{
    pane->startEditing(item(0));
    ASSERT_GE(pane->quartz()->ppBtnQuartzNames()->currentIndex(), 0);
    item(1)->oSlideshowInfo()->setStrName(QStringLiteral("Gone Away"));
    pane->startEditing(item(1));
    EXPECT_EQ(pane->quartz()->ppBtnQuartzNames()->currentIndex(), -1);
    EXPECT_TRUE(pane->quartz()->selectedName().isEmpty());
    EXPECT_EQ(synced.last(), QStringLiteral("0 Gone Away"));
}

TEST_F(HLSlideshowEditVCtrlTest, ApplyToAllOffersOnlyPositiveLengths)
{
    pane->startEditing(item(0));
    item(0)->setDSlideshowAnimate(1.5f);
    pane->btnApplyToAllDis()->click();
    pane->btnApplyToAllAni()->click();
    EXPECT_EQ(dis, QList<float>{item(0)->dSlideshowDisplay()});
    EXPECT_EQ(ani, QList<float>{1.5f});
    item(0)->setDSlideshowAnimate(0);
    pane->applyToAllDurationAnimate();
    EXPECT_EQ(ani.size(), 1);
    // The sliders themselves never go to 0.
    EXPECT_GT(pane->durationDisplay()->minimum(), 0);
    EXPECT_GT(pane->durationAnimate()->minimum(), 0);
    type(pane->durationDisplay()->field(), QString());
    EXPECT_FLOAT_EQ(item(0)->dSlideshowDisplay(), pane->durationDisplay()->minimum());
    pane->btnDone()->click();
    EXPECT_EQ(ended, 1);
}

TEST_F(HLSlideshowEditVCtrlTest, ABackgroundPictureIsImportedOrTheUserIsToldWhy)
{
    pane->startEditing(item(0));
    const QString text = folder->file("notes.txt");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    const QString broken = folder->file("broken.png");
    QFile bad(broken);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a png either");
    bad.close();
    {
        AlertAnswers answers({{QStringLiteral("OK"), QStringLiteral("notes.txt")}, {QStringLiteral("OK"), QStringLiteral("broken.png")}});
        pane->p_chooseBackImage(text);
        pane->p_chooseBackImage(broken);
        ASSERT_TRUE(answers.allAnswered()) << answers.said().toStdString();
        EXPECT_FALSE(answers.seen()[0].informativeText.isEmpty());
        EXPECT_FALSE(answers.seen()[1].informativeText.isEmpty());
    }
    EXPECT_EQ(item(0)->oBackEdit()->oBack(), nullptr);
    EXPECT_TRUE(writes.isEmpty());

    QImage picture(80, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QString good = folder->file("back.png");
    ASSERT_TRUE(picture.save(good));
    pane->p_chooseBackImage(good);
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style});
    ASSERT_NE(item(0)->oBackEdit()->oBack(), nullptr);
    const QImage shown = pane->vSlideBackImageDisplay()->imgDisplay();
    ASSERT_FALSE(shown.isNull());
    const QColor middle = shown.pixelColor(shown.width() / 2, shown.height() / 2);
    EXPECT_NEAR(middle.green(), 128, 4);
    EXPECT_LT(middle.red() + middle.blue(), 8);
}

} // namespace
