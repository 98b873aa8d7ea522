#include "dvd/DVDOutputJob.h"

#include "dvd/BurnDVDWorkflow.h"

#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLJobStages.h"
#include "SourceHL/Common/HLFileManager.h"

#include <QDir>
#include <QFile>

namespace {

// Stage index of the workflow under the job, its reason passed on when it fails.
bool runStage(HLJobState &state, HLJobStages &stages, size_t index, BurnDVDWorkflow &workflow,
              const std::function<bool()> &stage)
{
    stages.begin(index);
    const bool ok = stages.watch([&] { return workflow.progress(); }, [&] { workflow.cancel(); }, stage);
    if (!ok)
        state.fail(workflow.errorString());
    return ok;
}

// A temporary package for the folder an image or a burn is made from, removed with it.
class TemporaryPackage
{
public:
    TemporaryPackage()
    {
        const QString file = HLFileManager::tempFilePath(QStringLiteral("dvd-package-temp"), QStringLiteral("dir"));
        if (file.isEmpty())
            return;
        QFile::remove(file);
        m_path = file + QStringLiteral("/dvd.dvdmedia");
    }
    ~TemporaryPackage()
    {
        if (!m_path.isEmpty())
            QDir(QFileInfo(m_path).absolutePath()).removeRecursively();
    }
    QString path() const { return m_path; }

private:
    QString m_path;
};

} // namespace

DVDOutputJob::~DVDOutputJob() = default;

namespace {

BurnDVDWorkflow::Placement placementOf(bool replace)
{
    return replace ? BurnDVDWorkflow::Placement::Replace : BurnDVDWorkflow::Placement::FreeName;
}

} // namespace

std::unique_ptr<DVDOutputJob> DVDOutputJob::media(std::shared_ptr<Trevanel> dvd, QString destination, bool replace)
{
    std::unique_ptr<DVDOutputJob> output(new DVDOutputJob);
    output->m_job = std::make_unique<HLJob>([dvd, destination, replace,
                                             result = output->m_resultPath](HLJobState &state) {
        BurnDVDWorkflow workflow;
        HLJobStages stages(state, {1.0});
        if (!runStage(state, stages, 0, workflow,
                      [&] { return workflow.make(dvd, destination, placementOf(replace)); }))
            return false;
        result->set(workflow.resultPath());
        return true;
    });
    return output;
}

std::unique_ptr<DVDOutputJob> DVDOutputJob::iso(std::shared_ptr<Trevanel> dvd, QString iso, QString name,
                                                bool replace)
{
    std::unique_ptr<DVDOutputJob> output(new DVDOutputJob);
    output->m_job = std::make_unique<HLJob>([dvd, iso, name, replace,
                                             result = output->m_resultPath](HLJobState &state) {
        BurnDVDWorkflow workflow;
        const TemporaryPackage package;
        if (package.path().isEmpty()) {
            state.fail(QStringLiteral("Cannot make a temporary folder"));
            return false;
        }
        HLJobStages stages(state, {0.9, 0.1});
        if (!runStage(state, stages, 0, workflow, [&] { return workflow.make(dvd, package.path()); }))
            return false;
        const QString folder = workflow.resultPath();
        if (!runStage(state, stages, 1, workflow,
                      [&] { return workflow.makeIso(folder, iso, name, placementOf(replace)); }))
            return false;
        result->set(workflow.resultPath());
        return true;
    });
    return output;
}

std::unique_ptr<DVDOutputJob> DVDOutputJob::disc(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner,
                                                 QString name, std::shared_ptr<BurnDVDWorkflowQuestions> questions)
{
    std::unique_ptr<DVDOutputJob> output(new DVDOutputJob);
    output->m_job = std::make_unique<HLJob>([dvd, burner, name, questions](HLJobState &state) {
        BurnDVDWorkflow workflow;
        workflow.setQuestions(questions);
        const TemporaryPackage package;
        if (package.path().isEmpty()) {
            state.fail(QStringLiteral("Cannot make a temporary folder"));
            return false;
        }
        HLJobStages stages(state, {0.5, 0.05, 0.45});
        if (!runStage(state, stages, 0, workflow, [&] { return workflow.make(dvd, package.path()); }))
            return false;
        const QString folder = workflow.resultPath();
        const QString image = QFileInfo(folder).absolutePath() + QStringLiteral("/dvd.iso");
        if (!runStage(state, stages, 1, workflow, [&] { return workflow.makeIso(folder, image, name); }))
            return false;
        const QString iso = workflow.resultPath();
        return runStage(state, stages, 2, workflow, [&] { return workflow.burn(iso, burner); });
    });
    return output;
}
