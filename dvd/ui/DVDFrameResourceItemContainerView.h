#pragma once

#include <QWidget>

#include <vector>

class DVDFrameResourceItemView;

// The frame chooser's page of cells, two to a row from the top, inside a scroll area.
class DVDFrameResourceItemContainerView : public QWidget
{
    Q_OBJECT
public:
    explicit DVDFrameResourceItemContainerView(QWidget *parent = nullptr);

    void addCell(DVDFrameResourceItemView *cell) { m_cells.push_back(cell); }
    const std::vector<DVDFrameResourceItemView *> &cells() const { return m_cells; }
    // Sizes the page for the scroll area's viewport and places the cells.
    void layoutCells(double width, double contentHeight);

private:
    std::vector<DVDFrameResourceItemView *> m_cells;
};
