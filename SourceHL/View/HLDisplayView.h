#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <optional>

// Shows one picture fitted whole into the view (aspect kept, centred) over an optional
// background colour. Serves the main window's preview and the editors' picture wells.
class HLDisplayView : public QWidget
{
    Q_OBJECT
public:
    explicit HLDisplayView(QWidget *parent = nullptr);

    // Replaces the picture; a null picture clears it.
    void update(const QImage &picture);
    const QImage &imgDisplay() const { return m_imgDisplay; }
    // Redraws only when the picture is not the one already held.
    void setImgDisplay(const QImage &picture);

    // No redraw of its own; the owner redraws.
    void setClBack(const std::optional<QColor> &color) { m_clBack = color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QColor> m_clBack;
    QImage m_imgDisplay;
};
