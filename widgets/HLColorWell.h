#pragma once

#include <QColor>
#include <QPushButton>

// A colour well: a button filled with its colour that opens the colour chooser; colorChosen
// tells a colour the user picked.
class HLColorWell : public QPushButton
{
    Q_OBJECT
public:
    explicit HLColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // As if the user picked color: shown and reported when it differs.
    void chooseColor(const QColor &color);

signals:
    void colorChosen(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color = Qt::white;
};
