// Splitting text into items must stay linear in its length: a batch line of 100,000 items,
// a line continued over 200,000 script lines and a configuration file of 100,000 keys, each
// against summing every character of its text once.

#include "app/optiontable.h"
#include "batch/batchcommands.h"
#include "batch/batchdispatcher.h"
#include "batch/cmdline.h"

#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int Items = 100000;
constexpr int ContinuedLines = 200000;

const QString &longLine()
{
    static const QString line = [] {
        QString text = QStringLiteral("select_region");
        for (int i = 0; i < Items; ++i)
            text += i % 10 == 0 ? QStringLiteral(" \"item %1\"").arg(i)
                                : QStringLiteral(" %1").arg(i);
        return text;
    }();
    return line;
}

const QStringList &continuedScript()
{
    static const QStringList lines = [] {
        QStringList script;
        for (int i = 0; i < ContinuedLines; ++i)
            script << QStringLiteral("%1 \\").arg(i);
        script << QStringLiteral("end");
        return script;
    }();
    return lines;
}

const QString &configText()
{
    static const QString text = [] {
        QString config;
        for (int i = 0; i < Items; ++i)
            config += QStringLiteral("key%1 \"value %1\" # note\n").arg(i);
        return config;
    }();
    return text;
}

qint64 sumOf(const QString &text)
{
    qint64 sum = 0;
    for (const QChar c : text)
        sum += c.unicode();
    return sum;
}

// Baselines: every character of each text summed once.
void sumLongLine(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(sumOf(longLine()));
}

void sumContinuedLines(benchmark::State &state)
{
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString &line : continuedScript())
            total += sumOf(line);
        benchmark::DoNotOptimize(total);
    }
}

void sumConfig(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(sumOf(configText()));
}

void splitLongLine(benchmark::State &state)
{
    for (auto _ : state) {
        const CmdLine line(longLine());
        benchmark::DoNotOptimize(line.args.size());
    }
}

void joinContinuedLines(benchmark::State &state)
{
    BatchDispatcher dispatcher;
    int joined = 0;
    QObject::connect(&dispatcher, &BatchDispatcher::execCmdSig, [&](const CmdLine &cmd, bool) {
        joined += cmd.args.size();
    });
    for (auto _ : state) {
        dispatcher.doDispatchCmds(continuedScript());
        benchmark::DoNotOptimize(joined);
    }
}

void readLargeConfig(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.cfg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the configuration file");
    file.write(configText().toUtf8());
    file.close();
    for (auto _ : state) {
        OptionTable options;
        options.readConfigFile(path);
        benchmark::DoNotOptimize(options.count());
    }
}

} // namespace

int main(int argc, char **argv)
{
    buildBatchTables();
    BenchRounds rounds;
    for (const auto &[name, function] :
         std::vector<std::pair<const char *, void (*)(benchmark::State &)>>{
             {"sumLongLine", sumLongLine},
             {"sumContinuedLines", sumContinuedLines},
             {"sumConfig", sumConfig},
             {"splitLongLine", splitLongLine},
             {"joinContinuedLines", joinContinuedLines},
             {"readLargeConfig", readLargeConfig}})
        rounds.add(name, function, BenchRounds::milliseconds);
    // Each operation is read against the sum over its own text.
    rounds.ratio(
        "splitting a long batch line, against a sum over its text", "splitLongLine", "sumLongLine");
    rounds.ratio("joining continued batch lines, against a sum over their text",
                 "joinContinuedLines",
                 "sumContinuedLines");
    rounds.ratio("reading a large configuration file, against a sum over its text",
                 "readLargeConfig",
                 "sumConfig");
    return rounds.run(argc, argv);
}
