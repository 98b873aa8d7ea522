#pragma once

#include <QPointer>
#include <QWidget>

class HLCropView;

// The backdrop under the crop rectangle: darkens the picture outside the rectangle at half
// opacity; without a crop view it draws nothing.
class HLCropBackView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    HLCropView *vCrop() const { return m_vCrop; }
    void setVCrop(HLCropView *crop) { m_vCrop = crop; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<HLCropView> m_vCrop;
};
