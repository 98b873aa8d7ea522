#pragma once

#include "SourceHL/Control/HLLineChoice.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "SourceHL/View/HLLineGeometry.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class HLEditGate;
class HLTextlineItem;
class QMouseEvent;

// The text line: one cell per title of the project's text line, placed at the title's line
// span. The user chooses a title, opens its editor by a double click, drags its edges, slides
// it between its neighbours, carries it past them by drag and drop, and deletes it. It talks
// to the rest of the program only through its blocks and the model.
class HLTextlineVCtrl : public QObject
{
    Q_OBJECT
public:
    // Every change of the model goes through gate.
    explicit HLTextlineVCtrl(HLEditGate &gate, QObject *parent = nullptr);
    ~HLTextlineVCtrl() override;

    // The row: placed by the owner; it stays the controller's until then.
    HLTextlineBackView *view() const { return m_view; }

    // Called before the controller changes the model (the owner stops playing).
    void setupWarning(std::function<void()> warning) { m_blkWarning = std::move(warning); }
    void setupStatus(std::function<void(const QString &ttid)> status,
                     std::function<void(HLTextItemView *view)> seek, std::function<void()> edit,
                     std::function<void()> content);

    // A model other than the one held drops every cell; the owner clears the choice first and
    // rebuilds after.
    void updateModel(const std::shared_ptr<HLTextlineItem> &textline);
    void updateUI();
    void clear();
    bool isThereChosen() const { return m_vChosenView.view() != nullptr; }
    void deleteTheChosen();
    QString strTTID() const;

    const std::shared_ptr<HLTextlineItem> &oTextline() const { return m_oTextline; }
    const QList<HLTextItemView *> &aryTextItemViews() const { return m_aryTextItemViews; }

private:
    HLTextItemView *p_makeCell(const QString &ttid);
    void p_tiMouseDown(HLTextItemView *view, QMouseEvent *event);
    void p_tiMouseDragged(HLTextItemView *view, QMouseEvent *event);
    void p_tiMouseUp(HLTextItemView *view, QMouseEvent *event);
    void p_drop(double x);
    void p_beginDrag(HLTextItemView *view);

    void p_textlineWarning();
    void p_textlineStatus();
    void p_textlineSeek(HLTextItemView *view);
    void p_textlineEdit();
    void p_textlineContent();

    bool m_bDidChange = false;
    bool m_bDidDrag = false;
    bool m_bDragPrepared = false; // the current press prepared a drag (a double click does not)
    std::shared_ptr<HLTextlineItem> m_oTextline;
    QList<HLTextItemView *> m_aryTextItemViews;
    std::function<void()> m_blkWarning;
    std::function<void(const QString &)> m_blkStatus;
    std::function<void(HLTextItemView *)> m_blkSeek;
    std::function<void()> m_blkEdit;
    std::function<void()> m_blkContent;
    HLLineChoice<HLTextItemView> m_vChosenView;
    HLTextlineDrag m_drag;
    HLEditGate &m_gate;
    QPointer<HLTextlineBackView> m_view;
};
