#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestProject.h"

#include <QList>

#include <gtest/gtest.h>

#include <memory>

// A timeline of real photos in slideshow items of two (the last of one) over the probe
// templates, and an edit hook that records each write's kinds before running it.
class HLTemplateEditorsFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
        folder = new TestFolder;
        TestProject::setUpPools(*folder);
    }
    static void TearDownTestSuite() { delete folder; }
    void SetUp() override
    {
        timeline = TestProject::timeline(2);
        QList<std::shared_ptr<HLResourceItem>> photos;
        for (const QColor &color : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue), QColor(Qt::yellow), QColor(Qt::cyan)})
            photos << TestProject::importPhoto(*folder, color);
        timeline->addOutTo(photos, QString());
        ASSERT_EQ(timeline->aryItems().size(), 3);
    }
    HLEditWrite hook()
    {
        return [this](HLChange::Kinds kinds, const std::function<void()> &write) {
            writes << kinds;
            write();
        };
    }
    std::shared_ptr<HLSlideshowItem> item(int index) const { return timeline->aryItems()[index]; }

    static inline TestFolder *folder = nullptr;
    std::shared_ptr<HLTimelineItem> timeline;
    QList<HLChange::Kinds> writes;
};
