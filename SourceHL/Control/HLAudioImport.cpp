#include "SourceHL/Control/HLAudioImport.h"

#include "Platform/Foundation/HLDispatch.h"
#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLImportReport.h"
#include "SourceHL/Control/HLProjectSession.h"
#include "SourceHL/Control/HLWindowHost.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "widgets/HLAddPanel.h"

#include <QFileInfo>
#include <QPointer>

HLAudioImport::HLAudioImport(HLWindowHost &host) : m_host(host)
{
    QPointer<HLAudioImport> self(this);
    HLNotificationCenter::defaultCenter().addObserver(this, AudiolineVCtrlBackInsertNotification,
                                                      [self](const QString &, const QVariantMap &info) {
                                                          if (self)
                                                              self->p_audiolineBackInsertAudios(info);
                                                      });
}

HLAudioImport::~HLAudioImport()
{
    HLNotificationCenter::defaultCenter().removeObserver(this);
    if (m_job)
        m_job->cancel();
}

bool HLAudioImport::isImporting() const
{
    return m_job && !m_job->state().isFinished();
}

void HLAudioImport::addAudios()
{
    m_host.stopPlayingAndEditing();
    const QStringList paths = hl_runAddPanel(m_host.sheetHost());
    if (paths.isEmpty())
        return;
    p_addAudios(paths, [](HLAudiolineItem &audioline, const ResourceItems &items) {
        audioline.add(items);
    });
}

void HLAudioImport::p_audiolineBackInsertAudios(const QVariantMap &userInfo)
{
    const QStringList paths = userInfo.value(QStringLiteral("Paths")).toStringList();
    const QString target = userInfo.value(QStringLiteral("AUID")).toString();
    // A target that is gone by the end puts the clips at the end (the line ignores it).
    p_addAudios(paths, [target](HLAudiolineItem &audioline, const ResourceItems &items) {
        audioline.add(items, target);
    });
}

void HLAudioImport::p_addAudios(const QStringList &paths, Feedback feedback)
{
    m_host.stopPlayingAndEditing(); // like every edit of the lines
    if (isImporting())
        return; // the progress sheet covers the window until the running import ends
    QPointer<HLAudioImport> self(this);
    // Cancel keeps what was imported so far.
    HLProgressWndCtrl::sharedProgressWndCtrl().startProgress(quint64(paths.size()), m_host.sheetHost(), [self] {
        if (self && self->m_job)
            self->m_job->cancel();
    });
    auto items = std::make_shared<ResourceItems>();
    auto skipped = std::make_shared<QStringList>();
    auto warned = std::make_shared<QStringList>();
    m_job = std::make_unique<HLJob>([paths, items, skipped, warned](HLJobState &state) {
        const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeAudio);
        const auto setup = [](HLResourceType kind, const QString &resourceID, const QString &hashID,
                              const QString &path, QString *reason) {
            return HLResourceItem::itemOf(kind, resourceID, hashID, path, reason);
        };
        for (qsizetype i = 0; i < paths.size() && !state.isCancelled(); ++i) {
            const QString &path = paths[i];
            const QString name = QFileInfo(path).fileName();
            if (!QFileInfo(path).isFile()) {
                skipped->append(QStringLiteral("%1: %2").arg(name, tr("the file is not there")));
            } else if (!HLResourceItem::isKindOfAudio(path)) {
                skipped->append(QStringLiteral("%1: %2").arg(name, tr("not a music file")));
            } else {
                QString reason;
                if (auto item = pool->addResourceFrom(path, setup, &reason)) {
                    if (!item->importWarning().isEmpty())
                        warned->append(QStringLiteral("%1: %2").arg(name, item->importWarning()));
                    items->push_back(std::move(item));
                } else
                    skipped->append(QStringLiteral("%1: %2").arg(name, reason));
            }
            HLProgressWndCtrl::sharedProgressWndCtrl().updateProgress(i + 1);
            state.setProgress(double(i + 1) / double(paths.size()));
        }
        return true;
    });
    const std::weak_ptr<HLAudiolineItem> audioline = m_host.session()->oAudioline();
    m_job->start([self, audioline, items, skipped, warned, feedback](const HLJobState &) {
        if (self)
            self->p_finish(audioline, *items, *skipped, *warned, feedback);
        else
            HLProgressWndCtrl::sharedProgressWndCtrl().stopProgress();
    });
}

void HLAudioImport::p_finish(const std::weak_ptr<HLAudiolineItem> &started, const ResourceItems &items,
                             const QStringList &skipped, const QStringList &warned, const Feedback &feedback)
{
    HLProgressWndCtrl::sharedProgressWndCtrl().stopProgress();
    // Queued behind the sheet's going, so the window is free again when the clips show.
    QPointer<HLAudioImport> self(this);
    HLDispatch::onMain([self, started, items, skipped, warned, feedback] {
        if (self)
            self->p_show(started, items, skipped, warned, feedback);
    });
}

void HLAudioImport::p_show(const std::weak_ptr<HLAudiolineItem> &started, const ResourceItems &items,
                           const QStringList &skipped, const QStringList &warned, const Feedback &feedback)
{
    // The clips go only into the line the import was started for: a project opened since
    // has a line of its own.
    const auto audioline = started.lock();
    const HLProjectSession &session = *m_host.session();
    const bool current = audioline && audioline == session.oAudioline();
    if (current && !items.empty()) {
        session.gate().perform(HLChange::Structure, [&] {
            if (feedback)
                feedback(*audioline, items);
            audioline->arrange(); // music dropped before a clip must not overlap it
        });
    }
    hl_reportImport(m_host.sheetHost(), skipped, warned);
    emit finished();
}
