#pragma once

#include <QImage>
#include <QLabel>

// The button picture of the menu editor; while editable it takes a picture file dropped on it.
class DVDImageWell : public QLabel
{
    Q_OBJECT
public:
    explicit DVDImageWell(QWidget *parent = nullptr);

    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }
    void setImage(const QImage &image);

signals:
    void imageDropped(const QImage &image);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool m_editable = false;
};
