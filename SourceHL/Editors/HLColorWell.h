#pragma once

#include <QColor>
#include <QToolButton>

// A colour swatch button: a click opens the colour chooser; a chosen colour is reported.
class HLColorWell : public QToolButton
{
    Q_OBJECT
public:
    explicit HLColorWell(QWidget *parent = nullptr);
    QColor color() const { return m_color; }
    // Shows the colour without reporting it.
    void setColor(const QColor &color);
    // As if the user chose the colour: shown and reported when it differs.
    void chooseColor(const QColor &color);

signals:
    void colorChosen(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color = Qt::white;
};
