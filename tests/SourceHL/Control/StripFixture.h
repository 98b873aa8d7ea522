#pragma once

#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "tests/support/TestFolder.h"

#include <QList>
#include <QMimeData>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class HLRenderItemView;
class HLTimelineSlideshowBackView;

// A main window on the offscreen screen with photos (and clips) on its strip, and the
// drag-and-drop moves a user makes, as synthetic events on the real widgets.
class StripFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    HLMainWndCtrl &ctrl() { return *m_ctrl; }
    HLContentlineVCtrl &contentline() { return *m_ctrl->vCtrlContentline(); }
    HLTimelineVCtrl &strip() { return contentline().vCtrlTimeline(); }

    // Photo files of distinct colours written into the test's folder.
    QStringList writePhotos(int count);
    QString writeClip(double seconds);
    // Slideshow items of the given sizes at the end, through the import as the open panel's.
    void addItems(const QList<int> &sizes);
    // Waits for a running import to land in the model.
    void waitForImport();

    HLTimelineSlideshowBackView *row(int index);
    HLRenderItemView *cell(int row, int index);
    // Identifiers of the timeline: slideshow items, and photo hashes item by item.
    QStringList ssids() const;
    QList<QStringList> hashes() const;
    QStringList chosenCells() const;

    void press(QWidget *view, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Presses the chosen cell and drags it until the strip starts its drag; the drag's data.
    std::unique_ptr<QMimeData> dragCell(HLRenderItemView *cell);
    // Enter, move and drop at pos on target; whether the drop was taken.
    static bool dropOn(QWidget *target, QPoint pos, const QMimeData *data);

    TestFolder folder;

private:
    std::unique_ptr<HLMainWndCtrl> m_ctrl;
    std::unique_ptr<QMimeData> m_dragged;
    int m_files = 0;
};
