#include "tests/dvd/DVDReadSummary.h"
#include "tests/dvd/DVDTestDisc.h"

#include "dvd/BurnDVDWorkflow.h"

#include "Frameworks/Trevanel/Trevanel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

TEST(DVDAuthoringEndToEnd, FolderHasTitlesChaptersAndMenu)
{
    TestFolder folder;
    DVDTestDisc::Recipe recipe;
    recipe.titles = {{1.0, 1.0}, {1.0}};
    const auto dvd = DVDTestDisc::disc(folder, recipe);
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    const QString destination = folder.file(QStringLiteral("out/My Disc"));
    ASSERT_TRUE(workflow.make(dvd, destination)) << workflow.errorString().toStdString();
    const DVDReadSummary summary = DVDReadSummary::of(destination);
    ASSERT_TRUE(summary.opened);
    EXPECT_EQ(summary.titleCount, 2);
    EXPECT_EQ(summary.chapters, (std::vector<int>{2, 1}));
    EXPECT_EQ(summary.firstPlay, QStringLiteral("menu"));
    ASSERT_EQ(summary.buttons.size(), 2u);
    EXPECT_EQ(summary.buttons[0].title, 1);
    EXPECT_EQ(summary.buttons[1].title, 2);
    qDebug() << summary.highlightColor << summary.selectColor << summary.aspect << summary.videoFormat;
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("work"))));
}
