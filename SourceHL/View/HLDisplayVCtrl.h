#pragma once

#include <QImage>
#include <QWidget>

class HLDisplayView;

// The main window's preview: the rendered frame, and over it the rendered titles, two
// layers covering the same rectangle so the fitted frame and the fitted title image meet.
class HLDisplayVCtrl : public QWidget
{
    Q_OBJECT
public:
    explicit HLDisplayVCtrl(QWidget *parent = nullptr);

    void updateImage(const QImage &frame);
    void updateText(const QImage &titles);
    void hiddenImage(bool hidden);
    void hiddenText(bool hidden);

    HLDisplayView *vDisplayImage() const { return m_vDisplayImage; }
    HLDisplayView *vDisplayText() const { return m_vDisplayText; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    HLDisplayView *m_vDisplayImage;
    HLDisplayView *m_vDisplayText;
};
