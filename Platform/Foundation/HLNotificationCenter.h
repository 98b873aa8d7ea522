#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

// The named notifications of the application ("TimelineVCtrlSlidInsertNotification",
// "HLWindowStartBusyingNotification", …). Observers register a callback for a name under an
// owner token (usually `this`) and remove all their callbacks with that token before they go.
//
// Callbacks always run on the main thread: a post on the main thread delivers at once, in
// registration order; a post from another thread is queued to the main thread and returns.
// A callback removed before its turn is not called. All calls are thread-safe; callbacks may
// add, remove and post.
class HLNotificationCenter
{
public:
    using Owner = const void *;
    using Callback = std::function<void(const QString &name, const QVariantMap &userInfo)>;

    static HLNotificationCenter &defaultCenter();

    HLNotificationCenter();
    ~HLNotificationCenter();
    HLNotificationCenter(const HLNotificationCenter &) = delete;
    HLNotificationCenter &operator=(const HLNotificationCenter &) = delete;

    void addObserver(Owner owner, const QString &name, Callback callback);
    // Every callback of the owner.
    void removeObserver(Owner owner);
    // The owner's callbacks for one name.
    void removeObserver(Owner owner, const QString &name);

    void post(const QString &name, const QVariantMap &userInfo = QVariantMap());

private:
    struct Private;
    std::shared_ptr<Private> d;
};
