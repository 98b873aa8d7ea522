#include "Platform/Foundation/HLChildProcess.h"

#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <atomic>

namespace {

HLChildProcess::Request shell(const QString &script)
{
    HLChildProcess::Request request;
    request.program = QStringLiteral("sh");
    request.arguments = {QStringLiteral("-c"), script};
    return request;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// What a tool runner relies on: its folder, its variables (over ours, not beside them), its
// input, its output file with the error still read, and its exit code.
TEST(HLChildProcess, runsInItsFolderWithItsVariablesInputAndOutput)
{
    TestFolder folder;
    QFile input(folder.file("in.txt"));
    ASSERT_TRUE(input.open(QIODevice::WriteOnly));
    input.write("from the input\n");
    input.close();
    qputenv("HL_CHILD_TEST", "ours");

    HLChildProcess::Request request =
        shell(QStringLiteral("pwd; echo \"$HL_CHILD_TEST\"; cat; echo warned >&2; exit 3"));
    request.workFolder = folder.path();
    request.environment = {QStringLiteral("HL_CHILD_TEST=theirs")};
    request.inputFile = folder.file("in.txt");
    request.outputFile = folder.file("out.txt");
    QByteArray read;
    const auto result = HLChildProcess::run(request, [&](const QByteArray &chunk) { read += chunk; });
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(readAll(folder.file("out.txt")), QFile::encodeName(folder.path()) + "\ntheirs\nfrom the input\n");
    EXPECT_EQ(read, "warned\n");

    QByteArray both;
    const auto merged = HLChildProcess::run(shell(QStringLiteral("echo out; echo err >&2")),
                                            [&](const QByteArray &chunk) { both += chunk; });
    EXPECT_EQ(merged.exitCode, 0);
    EXPECT_EQ(both, "out\nerr\n");
}

TEST(HLChildProcess, aCancelKillsTheProgramAndAMissingOneSaysWhy)
{
    std::atomic<int> asked{0};
    QByteArray read;
    const auto cancelled = HLChildProcess::run(
        shell(QStringLiteral("echo started; exec sleep 600")), [&](const QByteArray &chunk) { read += chunk; },
        [&] { return !read.isEmpty() && ++asked > 1; });
    EXPECT_TRUE(cancelled.started);
    EXPECT_FALSE(cancelled.exited);
    EXPECT_EQ(read, "started\n");

    HLChildProcess::Request missing;
    missing.program = QStringLiteral("no-such-program-here");
    const auto result = HLChildProcess::run(missing);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.startError.isEmpty());
}
