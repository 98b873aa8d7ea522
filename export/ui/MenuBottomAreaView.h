#pragma once

#include <QWidget>

// The bar along the bottom of the export windows: a flat dark fill with a dark edge along
// its top and a lighter line under it.
class MenuBottomAreaView : public QWidget
{
    Q_OBJECT
public:
    explicit MenuBottomAreaView(QWidget *parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
};
