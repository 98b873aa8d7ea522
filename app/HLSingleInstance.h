#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// One running program per user: a second launch hands the project it was given (or nothing,
// to bring the window forward) to the running one over a local socket and ends, its exit
// saying whether the running one took the project.
class HLSingleInstance : public QObject
{
    Q_OBJECT
public:
    // Called on the main thread with each path handed over; true when the project is taken
    // (it is opened, now or once the window is free). It must not wait for the user.
    using Receiver = std::function<bool(const QString &path)>;
    enum class HandOver { NoProgram, Taken, Refused };

    // The socket's path: in the user's runtime folder, so two users never reach each other's program.
    static QString serverName();
    // Hands path to the program listening under name: NoProgram when none answers.
    static HandOver handOver(const QString &name, const QString &path);

    explicit HLSingleInstance(QObject *parent = nullptr);
    ~HLSingleInstance() override;
    // Listens under name; each path handed over is given to receiver on the main thread, and
    // the handing program is told its answer.
    // A socket left by a program that is gone is taken over; false when another program
    // answers under the name or listening fails.
    bool listen(const QString &name, Receiver receiver);

private:
    void p_accept();

    QLocalServer *m_server = nullptr;
    Receiver m_receiver;
};
