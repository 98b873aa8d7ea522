#pragma once

#include <QRectF>
#include <QWidget>

// The yellow outline of the object picked on the menu canvas, drawn above the canvas in its
// own unscaled coordinates so the line keeps its width at any zoom. Lets every mouse event
// through to the canvas below.
class DVDMenuEditViewHighlightView : public QWidget
{
    Q_OBJECT
public:
    explicit DVDMenuEditViewHighlightView(QWidget *parent = nullptr);

    QRectF highlightRect() const { return m_highlightRect; }
    // y down, in this view's coordinates; no width means no outline.
    void updateHighlightRect(const QRectF &rect);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF m_highlightRect;
};
