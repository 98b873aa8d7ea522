#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

class BurnDVDWorkflowQuestions;
class DVDBurn;
class HLJobState;
class Trevanel;

// The stages of DVD output, each run to its end on the calling (background) thread: the
// DVD-Video folder from a disc description, an ISO image from such a folder, and a burn of
// an image. Every stage works in a fresh work folder and puts its result in place only when
// it succeeded, under a free name when the one asked for is taken (unless the user agreed to
// replace what is there); a failure or cancel
// leaves the destination as it was and removes the work folder. Each stage reports into the
// state it is given (the running job's, or a part of it): its progress up to 0.98 until the
// result is in place, its cancel, and the first failure as the reason.
class BurnDVDWorkflow
{
public:
    // work: the work folder, or empty for a fresh one in the session's temporary folder.
    explicit BurnDVDWorkflow(QString work = QString());

    void setQuestions(std::shared_ptr<BurnDVDWorkflowQuestions> questions) { m_questions = std::move(questions); }

    // What to do when something is already where the result goes.
    enum class Placement { FreeName, Replace };

    // The DVD-Video folder at destination (or at a free name beside it).
    bool make(const std::shared_ptr<Trevanel> &dvd, const QString &destination, HLJobState &state,
              Placement placement = Placement::FreeName);
    // The image of a DVD-Video folder at iso (or at a free name beside it).
    bool makeIso(const QString &folder, const QString &iso, const QString &name, HLJobState &state,
                 Placement placement = Placement::FreeName);
    // Burns the image on the burner, asking to retry after a failure; false when no disc was
    // burned.
    bool burn(const QString &iso, const std::shared_ptr<DVDBurn> &burner, HLJobState &state);

    // Where the last stage put its result.
    QString resultPath() const { return m_resultPath.get(); }
    bool burnSuccess() const { return m_burnSuccess; }

    // About what a disc of this description takes, in bytes.
    static qint64 estimatedSize(const Trevanel &dvd);

private:
    QString p_newWorkFolder(HLJobState &state);
    bool p_place(const QString &made, const QString &destination, Placement placement, HLJobState &state);

    QString m_work;
    std::shared_ptr<BurnDVDWorkflowQuestions> m_questions;
    HLAtomicProperty<QString> m_resultPath;
    std::atomic<bool> m_burnSuccess{false};
};
