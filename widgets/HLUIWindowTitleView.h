#pragma once

#include <QWidget>

// The title strip at the top of a dark window: a grey gradient with rounded top corners and
// the title, white with a soft shadow, centred.
class HLUIWindowTitleView : public QWidget
{
    Q_OBJECT
public:
    explicit HLUIWindowTitleView(QWidget *parent = nullptr);

    QString strTitle() const { return m_strTitle; }
    // Redraws only when the title changes.
    void setStrTitle(const QString &title);

    QSize sizeHint() const override { return {200, 25}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_strTitle;
    QFont m_font;
};
