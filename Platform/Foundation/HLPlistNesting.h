#pragma once

#include <QString>
#include <QStringList>

#include <plist/plist.h>

#include <vector>

// Enters a container (and, given the key path, the key naming it) for the guard's life and
// leaves it however the scope ends, so a coder that throws keeps its place consistent.
class HLPlistNesting
{
public:
    HLPlistNesting(std::vector<plist_t> &containers, plist_t container)
        : m_containers(containers)
    {
        m_containers.push_back(container);
    }

    HLPlistNesting(std::vector<plist_t> &containers, plist_t container, QStringList &path, const QString &key)
        : HLPlistNesting(containers, container)
    {
        path << key;
        m_path = &path;
    }

    ~HLPlistNesting()
    {
        m_containers.pop_back();
        if (m_path)
            m_path->removeLast();
    }

    HLPlistNesting(const HLPlistNesting &) = delete;
    HLPlistNesting &operator=(const HLPlistNesting &) = delete;

private:
    std::vector<plist_t> &m_containers;
    QStringList *m_path = nullptr;
};
