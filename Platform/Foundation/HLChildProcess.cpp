#include "Platform/Foundation/HLChildProcess.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kCancelPollMs = 50;

// Null-terminated pointers into strings that live as long as this object.
class CStringList
{
public:
    void add(QByteArray text) { m_strings.push_back(std::move(text)); }
    char **pointers()
    {
        m_pointers.clear();
        for (QByteArray &each : m_strings)
            m_pointers.push_back(each.data());
        m_pointers.push_back(nullptr);
        return m_pointers.data();
    }

private:
    std::vector<QByteArray> m_strings;
    std::vector<char *> m_pointers;
};

// Ours, with the request's entries replacing those of the same name (a duplicate name
// would leave the program reading the first).
CStringList environmentOf(const QStringList &entries)
{
    CStringList list;
    QList<QByteArray> names;
    for (const QString &entry : entries)
        names.append(entry.section(QLatin1Char('='), 0, 0).toLocal8Bit() + '=');
    for (char **each = environ; *each; ++each) {
        const QByteArray inherited(*each);
        const bool replaced =
            std::any_of(names.begin(), names.end(), [&](const QByteArray &name) { return inherited.startsWith(name); });
        if (!replaced)
            list.add(inherited);
    }
    for (const QString &entry : entries)
        list.add(entry.toLocal8Bit());
    return list;
}

// Reads the pipe until the program closes it, killing the program once cancelled says so.
void pump(int fd, pid_t pid, const HLChildProcess::OutputReader &reader, const HLChildProcess::CancelCheck &cancelled,
          bool *killed)
{
    char buffer[4096];
    for (;;) {
        if (cancelled && !*killed && cancelled()) {
            ::kill(pid, SIGKILL);
            *killed = true;
        }
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, kCancelPollMs);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready <= 0)
            continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            if (reader)
                reader(QByteArray(buffer, got));
        } else if (got == 0 || errno != EINTR) {
            return;
        }
    }
}

} // namespace

HLChildProcess::Result HLChildProcess::run(const Request &request, const OutputReader &reader,
                                           const CancelCheck &cancelled)
{
    Result result;
    CStringList argv;
    argv.add(QFile::encodeName(request.program));
    for (const QString &argument : request.arguments)
        argv.add(argument.toLocal8Bit());
    CStringList envp = environmentOf(request.environment);

    int pipeEnds[2] = {-1, -1};
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        result.startError = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    const QByteArray input = QFile::encodeName(request.inputFile.isEmpty() ? QStringLiteral("/dev/null") : request.inputFile);
    const QByteArray output = QFile::encodeName(request.outputFile);
    const QByteArray folder = QFile::encodeName(request.workFolder);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.constData(), O_RDONLY, 0);
    if (output.isEmpty())
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);

    pid_t pid = -1;
    const int failed = ::posix_spawnp(&pid, argv.pointers()[0], &actions, nullptr, argv.pointers(), envp.pointers());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (failed != 0) {
        ::close(pipeEnds[0]);
        result.startError = QString::fromLocal8Bit(std::strerror(failed));
        return result;
    }
    result.started = true;
    bool killed = false;
    pump(pipeEnds[0], pid, reader, cancelled, &killed);
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exited = !killed && WIFEXITED(status);
    if (result.exited)
        result.exitCode = WEXITSTATUS(status);
    return result;
}
