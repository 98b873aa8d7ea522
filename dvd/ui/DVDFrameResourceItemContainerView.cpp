#include "dvd/ui/DVDFrameResourceItemContainerView.h"

#include "dvd/DVDMenuCanvasGeometry.h"
#include "dvd/ui/DVDFrameResourceItemView.h"

DVDFrameResourceItemContainerView::DVDFrameResourceItemContainerView(QWidget *parent) : QWidget(parent) {}

void DVDFrameResourceItemContainerView::layoutCells(double width, double contentHeight)
{
    const auto layout = DVDMenuCanvasGeometry::frameCells(int(m_cells.size()), width, contentHeight);
    setFixedSize(layout.documentSize.toSize());
    for (size_t i = 0; i < m_cells.size(); ++i)
        m_cells[i]->setGeometry(layout.cells[i].toRect());
}
