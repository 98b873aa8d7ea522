#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// A private temporary folder for one running instance of the program: "session-<id>"
// (mode 0700) under a sessions folder (mode 0700), held by the lock file "session-<id>.lock"
// beside it. Starting a session first removes the folders of sessions whose process is
// gone; folders of instances still running are never touched. The folder and its lock
// go away with the session.
class HLTempSession
{
public:
    // Starts a session under root (created when missing). isValid() tells whether it could.
    explicit HLTempSession(const QString &root);
    ~HLTempSession();
    HLTempSession(const HLTempSession &) = delete;
    HLTempSession &operator=(const HLTempSession &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    // The session folder; empty when the session could not be made.
    QString path() const { return m_path; }

    // Removes the folders (and lock files) of sessions under root whose owner is gone.
    static void removeStaleSessions(const QString &root);

    // The sessions folder of this user and program: "sessions" in its cache folder.
    static QString defaultRoot();
    // This process's session under defaultRoot(), started on first use (after the application
    // name is set, which names the cache folder); ends at exit.
    static HLTempSession &shared();

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
};
