#include "tests/support/ChildProcess.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

ChildProcess ChildProcess::run(const QString &program, const QStringList &arguments, bool captureOutput,
                               const QStringList &environment)
{
    ChildProcess result;
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(program));
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &each : storage)
        argv.push_back(each.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStorage;
    for (const QString &entry : environment)
        envStorage.push_back(entry.toLocal8Bit());
    std::vector<char *> envp;
    for (char **each = environ; *each; ++each)
        envp.push_back(*each);
    for (QByteArray &each : envStorage)
        envp.push_back(each.data());
    envp.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (captureOutput) {
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return result;
        }
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    }
    pid_t pid = -1;
    const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) {
        ::close(pipeEnds[1]);
        if (failed == 0) {
            char buffer[4096];
            for (;;) {
                const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
                if (got > 0)
                    result.output.append(buffer, got);
                else if (got == 0 || errno != EINTR)
                    break;
            }
        }
        ::close(pipeEnds[0]);
    }
    if (failed != 0)
        return result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}
