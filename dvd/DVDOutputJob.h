#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <memory>

class BurnDVDWorkflowQuestions;
class DVDBurn;
class HLJob;
class Trevanel;

// One DVD output as one job, its stages weighed into one progress: a DVD-Video folder
// (media), an ISO image (the folder in a temporary package, 0.9, then the image, 0.1), or a
// burned disc (folder 0.5, image 0.05, burn 0.45). Cancel stops the running stage; what the
// job made in between is removed. The job's error is the first stage's reason.
class DVDOutputJob
{
public:
    // replace: the user agreed to replace what is at the destination; otherwise the result
    // goes under a free name beside it.
    static std::unique_ptr<DVDOutputJob> media(std::shared_ptr<Trevanel> dvd, QString destination, bool replace = false);
    static std::unique_ptr<DVDOutputJob> iso(std::shared_ptr<Trevanel> dvd, QString iso, QString name,
                                             bool replace = false);
    static std::unique_ptr<DVDOutputJob> disc(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner,
                                              QString name, std::shared_ptr<BurnDVDWorkflowQuestions> questions);
    ~DVDOutputJob();

    HLJob &job() { return *m_job; }
    // Where the folder or image was put (empty for a burn, or before success).
    QString resultPath() const { return m_resultPath->get(); }

private:
    DVDOutputJob() = default;

    std::shared_ptr<HLAtomicProperty<QString>> m_resultPath = std::make_shared<HLAtomicProperty<QString>>();
    std::unique_ptr<HLJob> m_job;
};
