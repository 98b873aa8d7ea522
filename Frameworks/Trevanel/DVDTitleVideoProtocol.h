#pragma once

#include <memory>
#include <vector>

class DVDChapterVideoProtocol;

// What the disc framework asks of one title: its chapters in play order.
class DVDTitleVideoProtocol
{
public:
    virtual ~DVDTitleVideoProtocol() = default;
    virtual bool isWarningVideo() const = 0;
    virtual std::vector<std::shared_ptr<DVDChapterVideoProtocol>> chapters() const = 0;
    // Seconds.
    virtual double duration() const = 0;
};
