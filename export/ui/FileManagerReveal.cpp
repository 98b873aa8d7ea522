#include "export/ui/FileManagerReveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");

} // namespace

bool FileManagerReveal::p_showItems(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const bool offered = bus.interface()->isServiceRegistered(kService).value() ||
                         bus.interface()->activatableServiceNames().value().contains(kService);
    if (!offered)
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       kService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    return bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

void FileManagerReveal::reveal(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!p_showItems(absolute))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(absolute).absolutePath()));
}
