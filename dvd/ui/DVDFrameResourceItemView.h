#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

// One cell of the button-frame chooser: the frame's picture, outlined in yellow when it is
// the picked object's frame. A click tells the delegate.
class DVDFrameResourceItemView : public QWidget
{
    Q_OBJECT
public:
    explicit DVDFrameResourceItemView(QWidget *parent = nullptr);

    void setDelegate(std::function<void(DVDFrameResourceItemView *)> selectDVDFrameResourceView)
    {
        m_delegate = std::move(selectDVDFrameResourceView);
    }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QImage image() const { return m_image; }
    void setImage(const QImage &image);
    bool isSelected() const { return m_isSelected; }
    void setIsSelected(bool selected);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::function<void(DVDFrameResourceItemView *)> m_delegate;
    QString m_name;
    QImage m_image;
    bool m_isSelected = false;
};
