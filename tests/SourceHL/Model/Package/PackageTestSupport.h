#pragma once

#include "SourceHL/Model/Package/HLProjectContents.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/SampleProject.h"
#include "tests/support/TestProject.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

// Every entry under folder with its bytes (folders as empty entries marked "/").
inline QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            tree.insert(relative + "/", QByteArray());
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            tree.insert(relative, file.readAll());
        }
    }
    return tree;
}

// Hidden entries a save leaves beside its target (none after it has ended).
inline QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).filter(QRegularExpression("^\\."));
}

// Media and a sample project in the working pools under folder.
class PackageTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
        HLProjectContents::registerCoding();
    }
    void SetUp() override
    {
        TestProject::setUpPools(media);
        project = SampleProject::make(media);
        ASSERT_TRUE(project.timeline) << "fixtures could not be made";
    }
    // Points the saved project's pools at package, as the window does after an open.
    static void bindProjectPools(const QString &package)
    {
        HLResourcePool::update(package + "/Audios", HLResourceSourceProj, HLResourceTypeAudio);
        HLResourcePool::update(package + "/Videos", HLResourceSourceProj, HLResourceTypeVideo);
        HLResourcePool::update(package + "/Images", HLResourceSourceProj, HLResourceTypeImage);
    }
    QStringList identifiers() const
    {
        QStringList list;
        for (const auto &item : project.resourceItems())
            list << item->strResourceID();
        return list;
    }

    TestFolder media;
    TestFolder out;
    HLProjectContents project;
};
