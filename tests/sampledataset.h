#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

// The generated sample data set, for tests that load real image files, and runs of the real
// program on batch files.

// Writes the sample data set into `dir` with the generator tool and `options` (such as
// "--size 48"); false when the generator failed.
inline bool writeSampleDataSet(const QString &dir, const QStringList &options = {})
{
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedChannels);
    generator.start(MAKESAMPLEDATA_EXECUTABLE, QStringList{dir} + options);
    return generator.waitForFinished(-1) && generator.exitStatus() == QProcess::NormalExit
           && generator.exitCode() == 0;
}

// A path as one item of a batch line, whatever blanks it holds.
inline QString quoted(const QString &path)
{
    return '"' + path + '"';
}

// The batch lines that give the energy pattern of the data set's file names and load its I1
// and I0 images from `dir`.
inline QStringList sampleDataSetLoadLines(const QString &dir)
{
    return {QStringLiteral("set_i1_energy_pattern \\d\\d\\d\\d_\\d\\deV"),
            QStringLiteral("set_i0_energy_pattern \\d\\d\\d\\d_\\d\\deV"),
            "load_I1_files_of_pattern new " + quoted(dir + "/I1/") + " *.tif",
            "load_I0_files_of_pattern new " + quoted(dir + "/I0/") + " *.tif"};
}

// The batch lines that put the data set's two reference spectra in `dir` into the analyser's
// first two LCF rows, in use.
inline QStringList sampleReferenceLines(const QString &dir)
{
    return {"analyzer_set_LCF_std 0 1 0 " + quoted(dir + "/ref_FeA_7112.dat") + " 0",
            "analyzer_set_LCF_std 1 1 0 " + quoted(dir + "/ref_FeB_7117.dat") + " 0"};
}

// Writes `lines` into the batch file `script` and runs the program on it headless with English
// texts until it ends. Returns the exit code, or -1 when the program did not end normally; its
// debug output goes to `errors` when asked for, else through to the test's.
inline int
runBatchScript(const QString &script, const QStringList &lines, QString *errors = nullptr)
{
    QFile batch(script);
    if (!batch.open(QIODevice::WriteOnly | QIODevice::Text))
        return -1;
    QTextStream(&batch) << lines.join('\n') << '\n';
    batch.close();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(errors ? QProcess::SeparateChannels
                                         : QProcess::ForwardedChannels);
    program.start(MARVOLENTI_EXECUTABLE, {"-e", "-b", script, "-x"});
    if (!program.waitForFinished(-1) || program.exitStatus() != QProcess::NormalExit)
        return -1;
    if (errors)
        *errors = QString::fromUtf8(program.readAllStandardError());
    return program.exitCode();
}
