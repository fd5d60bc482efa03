#pragma once

#include <benchmark/benchmark.h>

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdio>

// Prints every result, then each benchmark's CPU time as a multiple of one or more baselines
// measured in the same run. Medians are used when runs are repeated; CPU time rather than wall
// time, because the machines are shared, except for work spread over threads, whose speed-up
// only wall time shows.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // Benchmarks listed in `skipped` (memory measurements, say) get no ratio.
    explicit RatioReporter(const QStringList &baselines,
                           const QStringList &skipped = {},
                           bool wallTime = false)
        : mBaselines(baselines)
        , mSkipped(skipped)
        , mWallTime(wallTime)
    {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const QString name = QString::fromStdString(run.run_name.function_name);
            if (run.run_type == Run::RT_Iteration && !mMedians.contains(name)) {
                mTimes[name] = timeOf(run);
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                mTimes[name] = timeOf(run);
                mMedians.insert(name);
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%s time as a multiple of: %s\n",
                    mWallTime ? "Wall" : "CPU",
                    qPrintable(mBaselines.join(", ")));
        for (auto it = mTimes.cbegin(); it != mTimes.cend(); ++it) {
            if (mSkipped.contains(it.key()))
                continue;
            std::printf("  %-22s", qPrintable(it.key()));
            for (const QString &baseline : mBaselines) {
                const double base = mTimes.value(baseline);
                if (base > 0)
                    std::printf(" %8.2f", it.value() / base);
                else
                    std::printf(" %8s", "-");
            }
            std::printf("\n");
        }
    }

private:
    double timeOf(const Run &run) const
    {
        return mWallTime ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
    }

    QStringList mBaselines;
    QStringList mSkipped;
    QMap<QString, double> mTimes;
    QSet<QString> mMedians;
    bool mWallTime = false;
};
