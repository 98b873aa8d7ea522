#include "app/HLSingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

namespace {

constexpr int kWaitMs = 2000;
const QByteArray kTaken = "taken\n";
const QByteArray kRefused = "refused\n";
constexpr qint64 kMaximumPathBytes = 64 * 1024;

} // namespace

QString HLSingleInstance::serverName()
{
    // In the user's own runtime folder (mode 0700): a name in the shared temporary folder could
    // be taken first by another user, who would then receive the projects handed over.
    const QDir runtime(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    return runtime.filePath(QStringLiteral("slideshow.socket"));
}

HLSingleInstance::HandOver HLSingleInstance::handOver(const QString &name, const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kWaitMs))
        return HandOver::NoProgram;
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kWaitMs))
        return HandOver::NoProgram;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kWaitMs))
            return HandOver::NoProgram;
    }
    return socket.readLine() == kTaken ? HandOver::Taken : HandOver::Refused;
}

HLSingleInstance::HLSingleInstance(QObject *parent) : QObject(parent) {}

HLSingleInstance::~HLSingleInstance() = default;

bool HLSingleInstance::listen(const QString &name, Receiver receiver)
{
    m_receiver = std::move(receiver);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &HLSingleInstance::p_accept);
    // Listening would take the name over (the socket is made aside and renamed into place),
    // so a program that answers under it keeps it.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kWaitMs))
        return false;
    QLocalServer::removeServer(name); // a socket left by a program that is gone
    return m_server->listen(name);
}

void HLSingleInstance::p_accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaximumPathBytes)
                    socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(socket->readLine()).chopped(1);
            // Outside the socket's own signal; the answer says what the receiver did with it.
            QPointer<QLocalSocket> answer(socket);
            QMetaObject::invokeMethod(this, [this, path, answer] {
                const bool taken = m_receiver && m_receiver(path);
                if (!answer)
                    return;
                answer->write(taken ? kTaken : kRefused);
                answer->flush();
                answer->disconnectFromServer();
            }, Qt::QueuedConnection);
        });
    }
}
