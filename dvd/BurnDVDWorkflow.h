#pragma once

#include "dvd/DVDTaskProgress.h"

#include "Frameworks/Trevanel/DVDTask.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>
#include <mutex>

class BurnDVDWorkflowQuestions;
class DVDBurn;
class Trevanel;

// The stages of DVD output, each run to its end on the calling (background) thread: the
// DVD-Video folder from a disc description, an ISO image from such a folder, and a burn of
// an image. Every stage works in a fresh work folder and puts its result in place only when
// it succeeded, under a free name when the one asked for is taken (unless the user agreed to
// replace what is there); a failure or cancel
// leaves the destination as it was and removes the work folder. The first failure is kept
// as the reason.
class BurnDVDWorkflow : public DVDTask
{
public:
    // work: the work folder, or empty for a fresh one in the session's temporary folder.
    explicit BurnDVDWorkflow(QString work = QString());

    void setQuestions(std::shared_ptr<BurnDVDWorkflowQuestions> questions) { m_questions = std::move(questions); }

    // What to do when something is already where the result goes.
    enum class Placement { FreeName, Replace };

    // The DVD-Video folder at destination (or at a free name beside it).
    bool make(const std::shared_ptr<Trevanel> &dvd, const QString &destination,
              Placement placement = Placement::FreeName);
    // The image of a DVD-Video folder at iso (or at a free name beside it).
    bool makeIso(const QString &folder, const QString &iso, const QString &name,
                 Placement placement = Placement::FreeName);
    // Burns the image on the burner, asking to retry after a failure; false when no disc was
    // burned.
    bool burn(const QString &iso, const std::shared_ptr<DVDBurn> &burner);

    // Where the last stage put its result.
    QString resultPath() const { return m_resultPath.get(); }
    bool burnSuccess() const { return m_burnSuccess; }
    // Of the running stage, 0 to 0.98.
    double progress() const override;
    void cancel() override { m_steps.cancel(); }
    bool isCancelled() const { return m_steps.isCancelled(); }
    QString errorString() const { return m_steps.errorString(); }

    // About what a disc of this description takes, in bytes.
    static qint64 estimatedSize(const Trevanel &dvd);

private:
    QString p_newWorkFolder();
    // Runs task as the next part of the stage, weighing weight of 100.
    bool p_runTask(const std::shared_ptr<DVDTask> &task, double weight, const std::function<bool()> &run);
    bool p_place(const QString &made, const QString &destination, Placement placement);
    bool p_burnOnce(const QString &iso, const std::shared_ptr<DVDBurn> &burner, bool *started);

    QString m_work;
    std::shared_ptr<BurnDVDWorkflowQuestions> m_questions;
    DVDTaskProgress m_steps;
    HLAtomicProperty<QString> m_resultPath;
    std::atomic<bool> m_burnSuccess{false};
};
