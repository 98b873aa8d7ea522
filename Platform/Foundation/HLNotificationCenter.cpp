#include "Platform/Foundation/HLNotificationCenter.h"

#include "Platform/Foundation/HLDispatch.h"

#include <mutex>
#include <vector>

struct HLNotificationCenter::Private
{
    struct Observer
    {
        quint64 id;
        Owner owner;
        QString name;
        Callback callback;
    };

    std::mutex mutex;
    std::vector<Observer> observers;
    quint64 nextId = 1;

    bool isRegistered(quint64 id)
    {
        std::lock_guard lock(mutex);
        for (const Observer &observer : observers)
            if (observer.id == id)
                return true;
        return false;
    }

    // Runs on the main thread. The callbacks run without the lock, so they may add, remove and
    // post; one removed by an earlier callback is skipped.
    void deliver(const QString &name, const QVariantMap &userInfo)
    {
        std::vector<Observer> matching;
        {
            std::lock_guard lock(mutex);
            for (const Observer &observer : observers)
                if (observer.name == name)
                    matching.push_back(observer);
        }
        for (const Observer &observer : matching)
            if (isRegistered(observer.id))
                observer.callback(name, userInfo);
    }
};

HLNotificationCenter &HLNotificationCenter::defaultCenter()
{
    static HLNotificationCenter center;
    return center;
}

HLNotificationCenter::HLNotificationCenter()
    : d(std::make_shared<Private>())
{
}

HLNotificationCenter::~HLNotificationCenter() = default;

void HLNotificationCenter::addObserver(Owner owner, const QString &name, Callback callback)
{
    if (!callback)
        return;
    std::lock_guard lock(d->mutex);
    d->observers.push_back({d->nextId++, owner, name, std::move(callback)});
}

void HLNotificationCenter::removeObserver(Owner owner)
{
    std::lock_guard lock(d->mutex);
    std::erase_if(d->observers, [&](const Private::Observer &observer) { return observer.owner == owner; });
}

void HLNotificationCenter::removeObserver(Owner owner, const QString &name)
{
    std::lock_guard lock(d->mutex);
    std::erase_if(d->observers, [&](const Private::Observer &observer) {
        return observer.owner == owner && observer.name == name;
    });
}

void HLNotificationCenter::post(const QString &name, const QVariantMap &userInfo)
{
    if (HLDispatch::isMainThread()) {
        d->deliver(name, userInfo);
        return;
    }
    // A center that is gone by the time the main thread runs delivers nothing.
    std::weak_ptr<Private> weak = d;
    HLDispatch::onMain([weak, name, userInfo] {
        if (auto alive = weak.lock())
            alive->deliver(name, userInfo);
    });
}
