#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

// A tile standing for one template: its thumbnail, or the live preview frame its owner hands
// it; a title band below the picture (none for an editor's tile); a yellow frame when chosen.
// It reports pointer entry, click and exit through three callbacks given the tile itself.
// Rectangles are y-up in the tile (origin at its bottom left).
class HLQuartzPreviewView : public QWidget
{
    Q_OBJECT
public:
    using Callback = std::function<void(HLQuartzPreviewView *tile)>;

    static QSizeF previewViewSize() { return {130, 115}; }
    static double previewGap() { return 5.0; }

    // A chooser tile: picture band at the top, title below.
    static HLQuartzPreviewView *quartzPreviewViewOf(const QRectF &frame, const QString &title, const QImage &preview,
                                                    QWidget *parent = nullptr);
    // An editor's live preview: picture over the whole tile, no title.
    static HLQuartzPreviewView *simpleQuartzPreviewViewOf(const QRectF &frame, QWidget *parent = nullptr);

    void setUpMouseEnter(Callback enter, Callback down, Callback exit);
    // Title, thumbnail and the three callbacks of other; flags, rectangles and the frame stay.
    void syncContentWith(const HLQuartzPreviewView &other);
    // The live frame flattened on black (transparent parts show black); null shows the thumbnail.
    void update(const QImage &frame);

    QString strTitle() const { return m_strTitle; }
    void setStrTitle(const QString &title) { m_strTitle = title; }
    bool bCanPreview() const { return m_bCanPreview; }
    void setBCanPreview(bool can) { m_bCanPreview = can; }
    bool bCanChoose() const { return m_bCanChoose; }
    void setBCanChoose(bool can) { m_bCanChoose = can; }
    bool bIsChosen() const { return m_bIsChosen; }
    void setBIsChosen(bool chosen);
    QRectF rctImage() const { return m_rctImage; }
    QRectF rctTitle() const { return m_rctTitle; }
    QImage imgStatic() const { return m_imgStatic; }
    void setImgStatic(const QImage &image) { m_imgStatic = image; }
    QImage imgDynamic() const { return m_imgDynamic; }
    // Redraws only when the picture differs from the one held.
    void setImgDynamic(const QImage &image);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    explicit HLQuartzPreviewView(const QRectF &frame, QWidget *parent);
    QRectF p_flipped(const QRectF &r) const;
    QString p_fitTitleFont(QPainter &p, double room) const;

    QString m_strTitle;
    bool m_bCanPreview = true;
    bool m_bCanChoose = true;
    bool m_bIsChosen = false;
    QRectF m_rctImage;
    QRectF m_rctTitle;
    QImage m_imgStatic;
    QImage m_imgDynamic;
    Callback m_blkEnter, m_blkDown, m_blkExit;
};
