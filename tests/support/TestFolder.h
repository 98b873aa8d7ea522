#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary folder that lives as long as the test; fixtures are written into it.
class TestFolder
{
public:
    TestFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
