#pragma once

#include <QString>

#include <optional>

// dvdauthor's progress from its "STAT: VOBU n at N MB" lines: N counts the megabytes written
// in the domain being written (the menus' files, then the titles'), starting again for each
// domain; "STAT: Processing <file>" tells which domain. Each VOBU line gives the share of all
// input megabytes written so far, below 1.
class DVDAuthorProgress
{
public:
    explicit DVDAuthorProgress(double totalMB) : m_totalMB(totalMB > 1 ? totalMB : 1) {}
    std::optional<double> read(const QString &line);

private:
    double m_totalMB;
    double m_doneDomainsMB = 0;
    double m_lastMB = 0;
    QString m_domain;
};
