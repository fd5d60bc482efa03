#pragma once

#include <benchmark/benchmark.h>

#include <QMap>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// Runs a benchmark program's measurements in interleaved rounds (baseline, measured, baseline,
// measured, ...), every measurement once a round, at least five rounds, so that a change in a
// shared machine's load touches the baseline and the measured work alike. Each figure is the
// median over the rounds with the lowest and highest: a time, or the ratio of two measurements
// of the same round. CPU time is that of the whole process, summed over all its threads.
//
// Besides the usual report, each figure is printed as one line that scripts/bench gathers into
// the README's Speed table:  ROW<TAB>figure<TAB>median<TAB>lowest<TAB>highest<TAB>unit
class BenchRounds : public benchmark::ConsoleReporter
{
public:
    using Function = std::function<void(benchmark::State &)>;
    using Configure = std::function<void(benchmark::internal::Benchmark *)>;
    enum Clock { Cpu, Wall };

    // Configurations most measurements take: milliseconds; milliseconds of wall time, with
    // iterations as the library chooses or one a round (long work).
    static void milliseconds(benchmark::internal::Benchmark *b)
    {
        b->Unit(benchmark::kMillisecond);
    }
    static void wallMilliseconds(benchmark::internal::Benchmark *b)
    {
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    static void once(benchmark::internal::Benchmark *b)
    {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    }

    // A measurement, registered once for each round; configure sets its unit, iterations ...
    void add(const QString &name, Function function, Configure configure = {})
    {
        mMeasurements.push_back({name, std::move(function), std::move(configure)});
    }
    // A figure: measured's time over baseline's in each round.
    void ratio(const QString &figure,
               const QString &measured,
               const QString &baseline,
               Clock clock = Cpu)
    {
        mFigures.push_back({figure, measured, baseline, clock});
    }
    // A figure: measured's time per iteration, in milliseconds.
    void time(const QString &figure, const QString &measured, Clock clock = Cpu)
    {
        mFigures.push_back({figure, measured, QString(), clock});
    }

    // Registers rounds x every measurement, runs them and prints the figures. Arguments as
    // Google Benchmark's, plus --rounds=N (5 at least).
    int run(int argc, char **argv)
    {
        int rounds = 5;
        std::vector<char *> arguments;
        for (int i = 0; i < argc; ++i) {
            if (std::string(argv[i]).rfind("--rounds=", 0) == 0)
                rounds = std::max(5, std::atoi(argv[i] + 9));
            else
                arguments.push_back(argv[i]);
        }
        int count = int(arguments.size());
        for (int round = 0; round < rounds; ++round) {
            for (const Measurement &measurement : mMeasurements) {
                benchmark::internal::Benchmark *registered = benchmark::RegisterBenchmark(
                    measurement.name.toUtf8().constData(), measurement.function);
                registered->MeasureProcessCPUTime();
                if (measurement.configure)
                    measurement.configure(registered);
            }
        }
        benchmark::Initialize(&count, arguments.data());
        benchmark::RunSpecifiedBenchmarks(this);
        benchmark::Shutdown();
        return 0;
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            // The name as registered, without the suffix that process CPU time adds.
            QString name = QString::fromStdString(run.run_name.function_name);
            name = name.left(name.indexOf(QLatin1Char('/')) < 0 ? name.size()
                                                                : name.indexOf(QLatin1Char('/')));
            mCpu[name].append(run.GetAdjustedCPUTime() * toMilliseconds(run.time_unit));
            mWall[name].append(run.GetAdjustedRealTime() * toMilliseconds(run.time_unit));
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n");
        for (const Figure &figure : mFigures) {
            const QMap<QString, QVector<double>> &times = figure.clock == Cpu ? mCpu : mWall;
            const QVector<double> measured = times.value(figure.measured);
            const QVector<double> baseline = times.value(figure.baseline);
            std::vector<double> values;
            for (int round = 0; round < measured.size(); ++round) {
                if (figure.baseline.isEmpty())
                    values.push_back(measured.at(round));
                else if (round < baseline.size() && baseline.at(round) > 0.0)
                    values.push_back(measured.at(round) / baseline.at(round));
            }
            if (values.empty())
                continue;
            std::sort(values.begin(), values.end());
            const char *unit = figure.baseline.isEmpty() ? "ms" : "x";
            std::printf("ROW\t%s\t%.3g\t%.3g\t%.3g\t%s\n",
                        qPrintable(figure.figure),
                        values[values.size() / 2],
                        values.front(),
                        values.back(),
                        unit);
        }
    }

private:
    struct Measurement
    {
        QString name;
        Function function;
        Configure configure;
    };
    struct Figure
    {
        QString figure;
        QString measured;
        QString baseline;
        Clock clock;
    };

    static double toMilliseconds(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-6;
        case benchmark::kMicrosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1.0;
        case benchmark::kSecond:
            return 1e3;
        }
        return 1.0;
    }

    std::vector<Measurement> mMeasurements;
    std::vector<Figure> mFigures;
    QMap<QString, QVector<double>> mCpu;
    QMap<QString, QVector<double>> mWall;
};

// A figure that a program measures in rounds of its own, in the form BenchRounds prints.
inline void printFigure(const char *figure, std::vector<double> values, const char *unit)
{
    if (values.empty())
        return;
    std::sort(values.begin(), values.end());
    std::printf("ROW\t%s\t%.3g\t%.3g\t%.3g\t%s\n",
                figure,
                values[values.size() / 2],
                values.front(),
                values.back(),
                unit);
}
