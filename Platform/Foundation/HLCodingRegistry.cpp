#include "Platform/Foundation/HLCodingRegistry.h"

#include <QHash>

#include <mutex>

namespace {

struct Registry
{
    std::mutex mutex;
    QHash<QString, HLCodingRegistry::Factory> factories;
};

Registry &registry()
{
    static Registry shared;
    return shared;
}

} // namespace

void HLCodingRegistry::registerClass(const QString &className, Factory factory)
{
    Registry &shared = registry();
    std::lock_guard lock(shared.mutex);
    shared.factories.insert(className, std::move(factory));
}

bool HLCodingRegistry::isRegistered(const QString &className)
{
    Registry &shared = registry();
    std::lock_guard lock(shared.mutex);
    return shared.factories.contains(className);
}

HLCodingRegistry::Factory HLCodingRegistry::factory(const QString &className)
{
    Registry &shared = registry();
    std::lock_guard lock(shared.mutex);
    return shared.factories.value(className);
}
