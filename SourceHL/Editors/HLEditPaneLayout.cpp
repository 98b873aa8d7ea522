#include "SourceHL/Editors/HLEditPaneLayout.h"

#include "widgets/HLViewHelper.h"

#include <QEvent>
#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

HLEditPaneLayout::HLEditPaneLayout(QWidget *parent)
    : QObject(parent)
    , m_sclEdit(new QScrollArea(parent))
    , m_vBack(new QWidget)
    , m_vBase(new QWidget(m_vBack))
{
    m_sclEdit->setObjectName(QStringLiteral("sclEdit"));
    m_vBack->setObjectName(QStringLiteral("vBack"));
    m_vBase->setObjectName(QStringLiteral("vBase"));
    m_sclEdit->setFrameShape(QFrame::NoFrame);
    m_sclEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sclEdit->setWidget(m_vBack); // sized by us, not by the scroll view
    m_sclEdit->viewport()->setAutoFillBackground(false);
    m_vBack->setAutoFillBackground(false);
    m_sclEdit->viewport()->installEventFilter(this);
    m_vBase->installEventFilter(this);
    updateFrames();
}

HLEditPaneLayout *HLEditPaneLayout::withGrid(QWidget *view, int panelWidth, QGridLayout *&grid)
{
    auto *outer = new QVBoxLayout(view);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *layout = new HLEditPaneLayout(view);
    outer->addWidget(layout->sclEdit());
    QWidget *base = layout->vBase();
    base->setFixedWidth(panelWidth);
    grid = new QGridLayout(base);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setVerticalSpacing(8);
    return layout;
}

bool HLEditPaneLayout::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Resize && watched == m_vBase) || hlIsViewportResize(m_sclEdit, watched, event))
        updateFrames();
    return QObject::eventFilter(watched, event);
}

void HLEditPaneLayout::updateFrames()
{
    const int height = std::max(m_vBase->height(), m_sclEdit->viewport()->height());
    if (m_vBack->size() != QSize(m_vBase->width(), height))
        m_vBack->resize(m_vBase->width(), height);
    m_vBase->move(0, 0); // y-down: the panel's top on the document's top
}
