#include "dvd/DVDOutputJob.h"

#include "dvd/BurnDVDWorkflow.h"

#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLJobStages.h"
#include "SourceHL/Common/HLFileManager.h"

#include <algorithm>
#include <vector>

#include <QDir>
#include <QFile>

namespace {

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

DVDOutputJob::DVDOutputJob(std::function<Work(std::shared_ptr<Out>)> make) : m_work(make(m_out)) {}

DVDOutputJob::~DVDOutputJob() = default;

bool DVDOutputJob::run(HLJobState &state)
{
    return m_work(state);
}

HLJob &DVDOutputJob::job()
{
    if (!m_job)
        m_job = std::make_unique<HLJob>(m_work);
    return *m_job;
}

namespace {

BurnDVDWorkflow::Placement placementOf(bool replace)
{
    return replace ? BurnDVDWorkflow::Placement::Replace : BurnDVDWorkflow::Placement::FreeName;
}

bool noTemporaryPackage(HLJobState &state)
{
    state.fail(QStringLiteral("Cannot make a temporary folder"));
    return false;
}

} // namespace

std::unique_ptr<DVDOutputJob> DVDOutputJob::media(std::shared_ptr<Trevanel> dvd, QString destination, bool replace)
{
    return std::unique_ptr<DVDOutputJob>(new DVDOutputJob([=](std::shared_ptr<Out> out) -> Work {
        return [=](HLJobState &state) {
            BurnDVDWorkflow workflow;
            if (!workflow.make(dvd, destination, state, placementOf(replace)))
                return false;
            out->resultPath.set(workflow.resultPath());
            return true;
        };
    }));
}

std::unique_ptr<DVDOutputJob> DVDOutputJob::iso(std::shared_ptr<Trevanel> dvd, QString iso, QString name,
                                                bool replace)
{
    return std::unique_ptr<DVDOutputJob>(new DVDOutputJob([=](std::shared_ptr<Out> out) -> Work {
        return [=](HLJobState &state) {
            BurnDVDWorkflow workflow;
            const TemporaryPackage package;
            if (package.path().isEmpty())
                return noTemporaryPackage(state);
            HLJobStages stages(state, {0.9, 0.1});
            stages.begin(0);
            if (!stages.run(1.0, [&](HLJobState &part) { return workflow.make(dvd, package.path(), part); }))
                return false;
            const QString folder = workflow.resultPath();
            stages.begin(1);
            if (!stages.run(1.0, [&](HLJobState &part) {
                    return workflow.makeIso(folder, iso, name, part, placementOf(replace));
                }))
                return false;
            out->resultPath.set(workflow.resultPath());
            return true;
        };
    }));
}

std::unique_ptr<DVDOutputJob> DVDOutputJob::disc(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner,
                                                 QString name, std::shared_ptr<BurnDVDWorkflowQuestions> questions,
                                                 DVDDiscCopies copies)
{
    return std::unique_ptr<DVDOutputJob>(new DVDOutputJob([=](std::shared_ptr<Out> out) -> Work {
        return [=](HLJobState &state) {
            BurnDVDWorkflow workflow;
            workflow.setQuestions(questions);
            const TemporaryPackage package;
            if (package.path().isEmpty())
                return noTemporaryPackage(state);
            // Each disc has its own stage, so a further copy moves the bar on instead of
            // starting it again.
            const int discs = std::max(copies.times, 1);
            std::vector<double> shares{0.5, 0.05};
            shares.insert(shares.end(), size_t(discs), 0.45 / discs);
            HLJobStages stages(state, shares);
            stages.begin(0);
            if (!stages.run(1.0, [&](HLJobState &part) { return workflow.make(dvd, package.path(), part); }))
                return false;
            const QString folder = workflow.resultPath();
            const QString image = QFileInfo(folder).absolutePath() + QStringLiteral("/dvd.iso");
            stages.begin(1);
            if (!stages.run(1.0, [&](HLJobState &part) { return workflow.makeIso(folder, image, name, part); }))
                return false;
            const QString iso = workflow.resultPath();
            out->imagePath.set(iso);
            out->burning = true;
            stages.begin(2);
            if (!stages.run(1.0, [&](HLJobState &part) { return workflow.burn(iso, burner, part); }))
                return false;
            for (int disc = 1; disc < discs && !state.isCancelled(); ++disc) {
                if (copies.wanted && !copies.wanted())
                    break;
                stages.begin(size_t(2 + disc));
                // A further disc that fails is told about and the job goes on.
                stages.run(1.0, [&](HLJobState &part) {
                    if (!workflow.burn(iso, burner, part) && !state.isCancelled() && copies.failed)
                        copies.failed(part.errorString());
                    return true;
                });
            }
            return !state.isCancelled();
        };
    }));
}
