#include "SourceHL/Control/HLMediaImport.h"

#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLBusyWndCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLPDFPages.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QDir>
#include <QFileDialog>
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

HLMediaImport::HLMediaImport(HLMainWndCtrl &owner) : m_owner(owner)
{
    HLNotificationCenter &center = HLNotificationCenter::defaultCenter();
    QPointer<HLMediaImport> self(this);
    center.addObserver(this, kTimelineVCtrlBackInsertNotification, [self](const QString &, const QVariantMap &info) {
        if (!self)
            return;
        self->m_owner.p_stopPlaying();
        self->p_addVideosAndImagesOutTo(info.value(QStringLiteral("Paths")).toStringList(),
                                        info.value(QStringLiteral("SSID")).toString());
    });
    center.addObserver(this, kTimelineVCtrlSlidInsertNotification, [self](const QString &, const QVariantMap &info) {
        if (!self)
            return;
        self->m_owner.p_stopPlaying();
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
    m_owner.p_stopPlaying();
    m_owner.p_stopEditing();
    QFileDialog panel(m_owner.window());
    panel.setWindowModality(Qt::WindowModal);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::ExistingFiles);
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setLabelText(QFileDialog::Accept, tr("Add"));
    if (panel.exec() != QDialog::Accepted)
        return;
    const QStringList paths = panel.selectedFiles();
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
    QString ssid;
    if (HLContentlineVCtrl *contentline = m_owner.vCtrlContentline())
        ssid = contentline->strAddSSID();
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
    const std::weak_ptr<HLTimelineItem> timeline = m_owner.oTimeline();
    HLMainWndCtrl *owner = &m_owner;
    p_addVideosAndImages(paths, [owner, timeline, ssid](const ResourceItems &items) {
        if (const auto held = timeline.lock())
            owner->gate().perform([&] { held->addOutTo(items, ssid); });
    });
}

void HLMediaImport::p_addVideosAndImagesInTo(const QStringList &paths, const QString &ssid, const QString &hashID)
{
    const std::weak_ptr<HLTimelineItem> timeline = m_owner.oTimeline();
    HLMainWndCtrl *owner = &m_owner;
    p_addVideosAndImages(paths, [owner, timeline, ssid, hashID](const ResourceItems &items) {
        if (const auto held = timeline.lock())
            owner->gate().perform([&] { held->addInTo(items, ssid, hashID); });
    });
}

void HLMediaImport::p_addVideosAndImages(const QStringList &paths, Feedback feedback)
{
    m_owner.p_stopPlaying();
    m_owner.p_stopEditing();
    if (m_bIsImporting)
        return; // the progress sheet covers the window until the running import ends
    m_bIsImporting = true;
    // PDF pages are turned into pictures first, in a folder of their own for this import.
    QString pdfFolder;
    for (const QString &path : paths) {
        if (!HLResourceItem::isKindOfPDF(path))
            continue;
        const QString folder = QDir(m_owner.strTempDirectory()).filePath(QStringLiteral("PDFs"));
        if (!m_owner.strTempDirectory().isEmpty() && QDir().mkpath(folder))
            pdfFolder = folder;
        break;
    }
    QWidget *host = m_owner.window();
    auto items = std::make_shared<ResourceItems>();
    // The window outlives the job: destroying the import waits for it.
    m_job = std::make_unique<HLJob>([paths, items, pdfFolder, host](HLJobState &state) {
        QStringList list = paths;
        if (!pdfFolder.isEmpty()) {
            HLBusyWndCtrl &busy = HLBusyWndCtrl::sharedBusyWndCtrl();
            busy.startBusingOn(host);
            list.clear();
            for (const QString &path : paths) {
                if (HLResourceItem::isKindOfPDF(path))
                    list.append(HLPDFPages::pagesOf(path, pdfFolder));
                else
                    list.append(path);
            }
            busy.stopBusing();
        }
        HLProgressWndCtrl &sheet = HLProgressWndCtrl::sharedProgressWndCtrl();
        sheet.startProgress(quint64(list.size()), host);
        for (qsizetype i = 0; i < list.size() && !state.isCancelled(); ++i) {
            const QString &path = list[i];
            std::shared_ptr<HLResourceItem> item;
            if (HLResourceItem::isKindOfImage(path))
                item = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage)
                           ->addResourceFrom(path, setupItem);
            else if (HLResourceItem::isKindOfVideo(path))
                item = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeVideo)
                           ->addResourceFrom(path, setupItem);
            if (item)
                items->append(item);
            sheet.updateProgress(i + 1);
            state.setProgress(double(i + 1) / double(list.size()));
        }
        if (!pdfFolder.isEmpty())
            QDir(pdfFolder).removeRecursively(); // the pools hold their own copies
        return true;
    });
    QPointer<HLMediaImport> self(this);
    m_job->start([self, items, feedback](const HLJobState &) {
        HLProgressWndCtrl &sheet = HLProgressWndCtrl::sharedProgressWndCtrl();
        if (!self) {
            sheet.stopProgress();
            return;
        }
        HLMainWndCtrl &owner = self->m_owner;
        self->m_bIsImporting = false;
        if (feedback)
            feedback(*items);
        owner.p_updateInterfaceBase();
        owner.gate().perform([&] { owner.oTextline()->syncPlayTime(); });
        if (HLContentlineVCtrl *contentline = owner.vCtrlContentline()) {
            contentline->updateTimelineUI();
            contentline->updateContentlineWidth();
            contentline->seekNow();
        }
        owner.p_documentEdited();
        sheet.stopProgress();
    });
}
