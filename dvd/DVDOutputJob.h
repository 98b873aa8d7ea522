#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class BurnDVDWorkflowQuestions;
class DVDBurn;
class HLJob;
class HLJobState;
class Trevanel;

// The discs of a burn: wanted asks before each further one (false: no more), failed hears why
// one was not burned. A further disc that fails is no failure of the output.
struct DVDDiscCopies
{
    int times = 1;
    std::function<bool()> wanted;
    std::function<void(const QString &reason)> failed;
};

// One DVD output, its stages weighed into one progress: a DVD-Video folder (media), an ISO
// image (the folder in a temporary package, 0.9, then the image, 0.1), or burned discs (folder
// 0.5, image 0.05, the burns 0.45 shared among the copies asked for). The work reports into
// the state of the job it runs in; cancel stops the running stage; what the output made in
// between is removed. The job's error is the first stage's reason.
class DVDOutputJob
{
public:
    // replace: the user agreed to replace what is at the destination; otherwise the result
    // goes under a free name beside it.
    static std::unique_ptr<DVDOutputJob> media(std::shared_ptr<Trevanel> dvd, QString destination, bool replace = false);
    static std::unique_ptr<DVDOutputJob> iso(std::shared_ptr<Trevanel> dvd, QString iso, QString name,
                                             bool replace = false);
    static std::unique_ptr<DVDOutputJob> disc(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner,
                                              QString name, std::shared_ptr<BurnDVDWorkflowQuestions> questions,
                                              DVDDiscCopies copies = DVDDiscCopies());
    ~DVDOutputJob();

    // Does the output on the calling job's thread, reporting into its state. Once.
    bool run(HLJobState &state);
    // The output as a job of its own, for a caller that has none running.
    HLJob &job();
    // Where the folder or image was put (empty for a burn, or before success).
    QString resultPath() const { return m_out->resultPath.get(); }
    // The image being burned, once made.
    QString imagePath() const { return m_out->imagePath.get(); }
    // A burn runs.
    bool isBurning() const { return m_out->burning.load(); }

private:
    struct Out
    {
        HLAtomicProperty<QString> resultPath;
        HLAtomicProperty<QString> imagePath;
        std::atomic<bool> burning{false};
    };
    using Work = std::function<bool(HLJobState &state)>;
    explicit DVDOutputJob(std::function<Work(std::shared_ptr<Out>)> make);

    std::shared_ptr<Out> m_out = std::make_shared<Out>();
    Work m_work;
    std::unique_ptr<HLJob> m_job;
};
