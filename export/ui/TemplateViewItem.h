#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

// One tab button of the export window: a title, lit yellow on a darker fill when selected.
// A click on a tab that is not selected tells the delegate its title.
class TemplateViewItem : public QWidget
{
    Q_OBJECT
public:
    using Delegate = std::function<void(const QString &title)>;

    explicit TemplateViewItem(QWidget *parent = nullptr);

    bool isSelect() const { return m_isSelect; }
    void setIsSelect(bool select);
    QString strTitle() const { return m_strTitle; }
    void setStrTitle(const QString &title);
    QColor testColor() const { return m_testColor; }
    void setTestColor(const QColor &color);
    void setDelegate(Delegate delegate) { m_delegate = std::move(delegate); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void typeClickAction(const QString &title);

    bool m_isSelect = false;
    QString m_strTitle;
    QColor m_testColor;
    Delegate m_delegate;
};
