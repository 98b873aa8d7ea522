#pragma once

#include <QObject>
#include <QQueue>
#include <QString>

#include <functional>

// Projects handed in from outside (the command line, a second launch) wait here while the
// window is not free (a dialog is up, a save or open runs) and are opened in order once it
// is: none is dropped because the user was busy.
class HLOpenQueue : public QObject
{
    Q_OBJECT
public:
    using IsFree = std::function<bool()>;
    using Opener = std::function<void(const QString &path)>;

    // isFree: nothing keeps the window from opening a project now; opener opens one.
    HLOpenQueue(IsFree isFree, Opener opener, QObject *parent = nullptr);
    ~HLOpenQueue() override;

    // Opens path from the event loop, at once if the window is free, else once it is.
    void enqueue(const QString &path);
    // Something that kept the window busy has ended: the next path is opened if it is free.
    void wake();

protected:
    // A modal window going away frees the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_next();

    IsFree m_isFree;
    Opener m_opener;
    QQueue<QString> m_pending;
    bool m_woken = false;
};
