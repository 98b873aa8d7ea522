// Pictures of the editors' pieces on the edit pane's background: a clip's trim line with one
// selection, a trim line with two (the second chosen, its end handle pressed), and the crop
// view over a photo.
#include "SourceHL/Editors/HLCropView.h"
#include "SourceHL/Editors/HLTrimUnitView.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>

#include <cstdio>

namespace {

using ScreenShots::save;

class Range : public TrimlineSelectionProtocol
{
public:
    Range(float min, float max) : min(min), max(max) {}
    float trimRatioMin() const override { return min; }
    float trimRatioMax() const override { return max; }
    void updateTrimRatioMin(float r) override { min = r; }
    void updateTrimRatioMax(float r) override { max = r; }
    float min, max;
};

class Player : public TrimlinePlayerProtocol
{
public:
    bool isTrimPlaying() const override { return false; }
    float trimPlayRatio() const override { return ratio; }
    void updateTrimPlayRatio(float r) override { ratio = r; }
    float ratio = 0.35f;
};

// A photo drawn fitted into the widget.
class Photo : public QWidget
{
public:
    explicit Photo(QImage image) : m_image(std::move(image)) {}
    QRect pictureRect() const
    {
        const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio);
        return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(pictureRect(), m_image);
    }

private:
    QImage m_image;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<QDir> outDir = ScreenShots::start(app, argc, argv);
    if (!outDir)
        return 2;
    const QDir out = *outDir;

    HLUIEditBackView pane;
    pane.resize(320, 130);
    HLTrimlineVCtrl one, two;
    one.view()->setParent(&pane);
    two.view()->setParent(&pane);
    one.view()->setGeometry(10, 16, 300, 44);
    two.view()->setGeometry(10, 72, 300, 44);
    for (HLTrimlineVCtrl *line : {&one, &two}) {
        line->updatePlayer(std::make_shared<Player>());
        line->setBIsEnable(true);
    }
    auto clip = std::make_shared<Range>(0.15f, 0.7f);
    one.updateSeletions({clip});
    one.selectSeletion(clip);
    one.updateInterface();
    auto first = std::make_shared<Range>(0.05f, 0.3f), second = std::make_shared<Range>(0.5f, 0.85f);
    two.updateSeletions({first, second});
    two.selectSeletion(first);
    two.updateInterface();
    pane.show();
    if (!QTest::qWaitForWindowExposed(&pane))
        std::fprintf(stderr, "the pane was not shown\n");
    HLTrimUnitView *end = two.aryUnitMaxs().at(1);
    QTest::mousePress(end, Qt::LeftButton, {}, QPoint(2, end->height() - 3)); // chooses the second
    bool ok = save(&pane, out, QStringLiteral("editors-trim-lines.png"));
    QTest::mouseRelease(end, Qt::LeftButton, {}, QPoint(2, end->height() - 3));

    Photo photo(MediaFixtures::numberedPhoto(3));
    photo.resize(480, 360);
    auto *crop = new HLCropView(&photo);
    photo.show();
    if (!QTest::qWaitForWindowExposed(&photo))
        std::fprintf(stderr, "the photo was not shown\n");
    const QRect picture = photo.pictureRect();
    // y-up in the photo widget.
    crop->setLimitedRect({double(picture.x()), double(photo.height() - picture.bottom() - 1), double(picture.width()),
                          double(picture.height())});
    crop->setRctDisplayFrame({120, 90, 220, 160});
    crop->setEnumDrawType(HLCropView::GuideTrisection);
    crop->show();
    ok = save(&photo, out, QStringLiteral("editors-crop-view.png")) && ok;
    return ok ? 0 : 1;
}
