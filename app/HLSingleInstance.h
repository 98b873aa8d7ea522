#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// One running program per user: a second launch hands the project it was given (or nothing,
// to bring the window forward) to the running one over a local socket and ends.
class HLSingleInstance : public QObject
{
    Q_OBJECT
public:
    using Receiver = std::function<void(const QString &path)>;

    // The socket's path: in the user's runtime folder, so two users never reach each other's program.
    static QString serverName();
    // Hands path to the program listening under name; true when it took it.
    static bool handOver(const QString &name, const QString &path);

    explicit HLSingleInstance(QObject *parent = nullptr);
    ~HLSingleInstance() override;
    // Listens under name; each path handed over is given to receiver on the main thread.
    // A socket left by a program that is gone is taken over; false when another program
    // answers under the name or listening fails.
    bool listen(const QString &name, Receiver receiver);

private:
    void p_accept();

    QLocalServer *m_server = nullptr;
    Receiver m_receiver;
};
