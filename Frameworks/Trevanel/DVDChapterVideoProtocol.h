#pragma once

#include <memory>
#include <vector>

class DVDMenuElement;

// What the disc framework asks of one chapter of a title.
class DVDChapterVideoProtocol
{
public:
    virtual ~DVDChapterVideoProtocol() = default;
    // The menu buttons that jump to this chapter.
    virtual std::vector<std::shared_ptr<DVDMenuElement>> titles() const = 0;
    // Seconds.
    virtual double duration() const = 0;
};
