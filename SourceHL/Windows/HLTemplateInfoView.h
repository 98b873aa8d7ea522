#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

// A tab of the template chooser: its picture and title, a blue band when it is the shown tab.
// A click always counts and is reported with the tab itself.
class HLTemplateInfoView : public QWidget
{
    Q_OBJECT
public:
    // None when the title or the picture is missing.
    static HLTemplateInfoView *templateInfoViewOf(const QString &title, const QPixmap &image, QWidget *parent = nullptr);

    void setupMouseDown(std::function<void(HLTemplateInfoView *tab)> down) { m_blkDown = std::move(down); }
    QString strTitle() const { return m_strTitle; }
    QPixmap imgThumb() const { return m_imgThumb; }
    bool bIsChosen() const { return m_bIsChosen; }
    // Redraws only when the value changes.
    void setBIsChosen(bool chosen);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    HLTemplateInfoView(const QString &title, const QPixmap &image, QWidget *parent);

    QString m_strTitle;
    QPixmap m_imgThumb;
    bool m_bIsChosen = false;
    std::function<void(HLTemplateInfoView *)> m_blkDown;
};
