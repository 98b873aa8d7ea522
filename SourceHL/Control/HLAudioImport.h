#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

class HLAudiolineItem;
class HLJob;
class HLWindowHost;
class HLResourceItem;

// Music into the project: from the Add Audio panel and from files dropped on the audio line.
// The files are copied into the session's audio pool on a background job under the progress
// sheet; the new clips go into the audio line through the edit gate when it ends, the line
// is laid out again and the preview follows. Files left out are named with their reason.
class HLAudioImport : public QObject
{
    Q_OBJECT
public:
    using ResourceItems = std::vector<std::shared_ptr<HLResourceItem>>;
    // Runs inside the edit gate with the audio line the import started for.
    using Feedback = std::function<void(HLAudiolineItem &audioline, const ResourceItems &items)>;

    explicit HLAudioImport(HLWindowHost &host);
    ~HLAudioImport() override;

    // The open panel for music.
    void addAudios();
    // The import job; feedback adds the new items on the main thread.
    void p_addAudios(const QStringList &paths, Feedback feedback);
    // Files dropped on the audio line: before the clip "AUID", at the end without one.
    void p_audiolineBackInsertAudios(const QVariantMap &userInfo);

    bool isImporting() const;

signals:
    // The import has ended and the window shows its result.
    void finished();

private:
    void p_finish(const std::weak_ptr<HLAudiolineItem> &audioline, const ResourceItems &items,
                  const QStringList &skipped, const QStringList &warned, const Feedback &feedback);
    void p_show(const std::weak_ptr<HLAudiolineItem> &audioline, const ResourceItems &items,
                const QStringList &skipped, const QStringList &warned, const Feedback &feedback);

    HLWindowHost &m_host;
    std::unique_ptr<HLJob> m_job;
};
