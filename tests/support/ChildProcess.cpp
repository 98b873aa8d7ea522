#include "tests/support/ChildProcess.h"

#include "Platform/Foundation/HLChildProcess.h"

#include <cstdio>

ChildProcess ChildProcess::run(const QString &program, const QStringList &arguments, bool captureOutput,
                               const QStringList &environment)
{
    HLChildProcess::Request request;
    request.program = program;
    request.arguments = arguments;
    request.environment = environment;
    ChildProcess result;
    const HLChildProcess::Result ended = HLChildProcess::run(request, [&](const QByteArray &chunk) {
        if (captureOutput)
            result.output += chunk;
        else
            std::fwrite(chunk.constData(), 1, size_t(chunk.size()), stderr);
    });
    if (ended.exited)
        result.exitCode = ended.exitCode;
    return result;
}
