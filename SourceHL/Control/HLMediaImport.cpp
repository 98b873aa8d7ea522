#include "SourceHL/Control/HLMediaImport.h"

#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Control/HLBusyWndCtrl.h"
#include "SourceHL/Control/HLImportReport.h"
#include "SourceHL/Control/HLProjectSession.h"
#include "SourceHL/Control/HLWindowHost.h"
#include "SourceHL/Control/HLPDFPages.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "widgets/HLAddPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>


namespace {

std::shared_ptr<HLResourceItem> setupItem(HLResourceType kind, const QString &resourceID, const QString &hashID,
                                          const QString &path, QString *reason)
{
    return HLResourceItem::itemOf(kind, resourceID, hashID, path, reason);
}

} // namespace

HLMediaImport::HLMediaImport(HLWindowHost &host) : m_host(host)
{
    HLNotificationCenter &center = HLNotificationCenter::defaultCenter();
    QPointer<HLMediaImport> self(this);
    center.addObserver(this, kTimelineVCtrlBackInsertNotification, [self](const QString &, const QVariantMap &info) {
        if (!self)
            return;
        self->m_host.stopPlaying();
        self->p_addVideosAndImagesOutTo(info.value(QStringLiteral("Paths")).toStringList(),
                                        info.value(QStringLiteral("SSID")).toString());
    });
    center.addObserver(this, kTimelineVCtrlSlidInsertNotification, [self](const QString &, const QVariantMap &info) {
        if (!self)
            return;
        self->m_host.stopPlaying();
        self->p_addVideosAndImagesInTo(info.value(QStringLiteral("Paths")).toStringList(),
                                       info.value(QStringLiteral("SSID")).toString(),
                                       info.value(QStringLiteral("HashID")).toString());
    });
}

HLMediaImport::~HLMediaImport()
{
    HLNotificationCenter::defaultCenter().removeObserver(this);
}

void HLMediaImport::addVideosAndImages()
{
    m_host.stopPlayingAndEditing();
    const QStringList paths = hl_runAddPanel(m_host.sheetHost());
    if (paths.isEmpty())
        return;
    // The panel has closed by the time the question or the import comes.
    QPointer<HLMediaImport> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, paths] {
            if (self)
                self->p_addVideosAndImages(paths);
        },
        Qt::QueuedConnection);
}

int HLMediaImport::p_alertStyle(int style, const QString &message, const QString &information,
                                const QStringList &buttonTitles)
{
    QMessageBox alert;
    alert.setWindowModality(Qt::ApplicationModal);
    alert.setIcon(style == 0 ? QMessageBox::Warning : (style == 1 ? QMessageBox::Information : QMessageBox::Critical));
    alert.setText(message);
    alert.setInformativeText(information);
    QList<QAbstractButton *> buttons;
    for (const QString &title : buttonTitles)
        buttons.append(alert.addButton(title, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    alert.exec();
    const qsizetype index = buttons.indexOf(alert.clickedButton());
    return index < 0 ? 1000 + int(buttons.size()) : 1000 + int(index);
}

void HLMediaImport::p_addVideosAndImages(const QStringList &paths)
{
    QString ssid = m_host.chosenSlideshowID();
    if (!ssid.isEmpty()) {
        const int answer = p_alertStyle(
            0, tr("Do you want to add media to the end of the project or the end of the selected slideshow item?"),
            QString(), {tr("The end of the selected Item"), tr("The end of the project")});
        if (answer != 1000)
            ssid.clear();
    }
    if (!ssid.isEmpty())
        p_addVideosAndImagesInTo(paths, ssid, QString());
    else
        p_addVideosAndImagesOutTo(paths, QString());
}

void HLMediaImport::p_addVideosAndImagesOutTo(const QStringList &paths, const QString &ssid)
{
    p_addVideosAndImages(paths, [ssid](HLTimelineItem &timeline, const ResourceItems &items) {
        // A target removed meanwhile puts the new items at the end.
        timeline.addOutTo(items, timeline.slideshowItemOf(ssid) ? ssid : QString());
    });
}

void HLMediaImport::p_addVideosAndImagesInTo(const QStringList &paths, const QString &ssid, const QString &hashID)
{
    p_addVideosAndImages(paths, [ssid, hashID](HLTimelineItem &timeline, const ResourceItems &items) {
        // A slideshow item removed meanwhile would drop them: they go to the end instead.
        if (timeline.slideshowItemOf(ssid))
            timeline.addInTo(items, ssid, hashID);
        else
            timeline.addOutTo(items, QString());
    });
}

void HLMediaImport::p_addVideosAndImages(const QStringList &paths, Feedback feedback)
{
    m_host.stopPlayingAndEditing();
    if (m_bIsImporting)
        return; // the progress sheet covers the window until the running import ends
    m_bIsImporting = true;
    // PDF pages are turned into pictures first, in a folder of their own for this import.
    const QString pdfFolder = HLPDFPages::makeFolderFor(paths, m_host.temporaryFolder());
    const QSizeF renderSize = m_host.session()->oSizer()->szRender();
    QWidget *host = m_host.sheetHost();
    auto items = std::make_shared<ResourceItems>();
    auto skipped = std::make_shared<QStringList>();
    auto warned = std::make_shared<QStringList>();
    QPointer<HLMediaImport> self(this);
    // Cancel keeps what was imported so far.
    const auto cancel = [self] {
        if (self && self->m_job)
            self->m_job->cancel();
    };
    // The window outlives the job: destroying the import waits for it.
    m_job = std::make_unique<HLJob>([paths, items, skipped, warned, pdfFolder, renderSize, host,
                                     cancel](HLJobState &state) {
        QStringList list = paths;
        if (!pdfFolder.isEmpty()) {
            HLBusyWndCtrl &busy = HLBusyWndCtrl::sharedBusyWndCtrl();
            busy.startBusingOn(host);
            list = HLPDFPages::expandPaths(paths, pdfFolder, renderSize, state.cancelToken(), skipped.get());
            busy.stopBusing();
        }
        HLProgressWndCtrl &sheet = HLProgressWndCtrl::sharedProgressWndCtrl();
        sheet.startProgress(quint64(list.size()), host, cancel);
        for (qsizetype i = 0; i < list.size() && !state.isCancelled(); ++i) {
            const QString &path = list[i];
            const QString name = QFileInfo(path).fileName();
            const bool image = HLResourceItem::isKindOfImage(path);
            QString reason;
            std::shared_ptr<HLResourceItem> item;
            if (!QFileInfo(path).isFile())
                reason = tr("the file is not there");
            else if (!image && !HLResourceItem::isKindOfVideo(path))
                reason = tr("not a photo or a video");
            else
                item = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp,
                                                            image ? HLResourceTypeImage : HLResourceTypeVideo)
                           ->addResourceFrom(path, setupItem, &reason);
            if (item && !item->importWarning().isEmpty())
                warned->append(QStringLiteral("%1: %2").arg(name, item->importWarning()));
            if (item)
                items->append(item);
            else
                skipped->append(QStringLiteral("%1: %2").arg(name, reason));
            sheet.updateProgress(i + 1);
            state.setProgress(double(i + 1) / double(list.size()));
        }
        if (!pdfFolder.isEmpty())
            QDir(pdfFolder).removeRecursively(); // the pools hold their own copies
        return true;
    });
    const std::weak_ptr<HLTimelineItem> started = m_host.session()->oTimeline();
    m_job->start([self, started, items, skipped, warned, feedback](const HLJobState &) {
        HLProgressWndCtrl &sheet = HLProgressWndCtrl::sharedProgressWndCtrl();
        if (!self) {
            sheet.stopProgress();
            return;
        }
        HLWindowHost &host = self->m_host;
        self->m_bIsImporting = false;
        // The items go only into the timeline the import was started for.
        const auto timeline = started.lock();
        const HLProjectSession &session = *host.session();
        if (timeline && timeline == session.oTimeline() && !items->isEmpty() && feedback)
            session.gate().perform(HLChange::Structure, [&] { feedback(*timeline, *items); });
        sheet.stopProgress();
        hl_reportImport(host.sheetHost(), *skipped, *warned);
    });
}
