#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class HLJob;
class HLWindowHost;
class HLResourceItem;
class HLTimelineItem;

// Photos and clips into the project: from the open panel and from files dropped on the
// strip. The files are copied into the session's pools on a background job under the
// progress sheet; the new items go into the timeline through the edit gate when it ends.
class HLMediaImport : public QObject
{
    Q_OBJECT
public:
    using ResourceItems = QList<std::shared_ptr<HLResourceItem>>;
    // Puts the imported items into the timeline; runs inside the edit gate.
    using Feedback = std::function<void(HLTimelineItem &timeline, const ResourceItems &items)>;

    explicit HLMediaImport(HLWindowHost &host);
    ~HLMediaImport() override;

    // The open panel for photos and videos.
    void addVideosAndImages();
    // Asks where to add when a slideshow item is chosen, then adds.
    void p_addVideosAndImages(const QStringList &paths);
    // New slideshow items before ssid (at the end for none).
    void p_addVideosAndImagesOutTo(const QStringList &paths, const QString &ssid);
    // Into slideshow item ssid before the photo or clip hashID (at its end for none).
    void p_addVideosAndImagesInTo(const QStringList &paths, const QString &ssid, const QString &hashID);
    // The import job; feedback gets the new items on the main thread. Left-out files are
    // named with their reason; an import that added nothing leaves the project unmarked.
    void p_addVideosAndImages(const QStringList &paths, Feedback feedback);

    // From the start of an import until its items are in the timeline.
    bool isImporting() const { return m_bIsImporting; }

    // An application-modal question; answers 1000 for the first button, 1001 for the next …
    static int p_alertStyle(int style, const QString &message, const QString &information,
                            const QStringList &buttonTitles);

private:
    HLWindowHost &m_host;
    std::unique_ptr<HLJob> m_job;
    bool m_bIsImporting = false;
};
