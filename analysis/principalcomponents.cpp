#include "principalcomponents.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <Eigen/Eigenvalues>

PrincipalComponents::Sums::Sums(int points)
    : mSum(Eigen::VectorXd::Zero(points))
    , mOuter(Eigen::MatrixXd::Zero(points, points))
    , mBatch(points, batchSize)
{}

void PrincipalComponents::Sums::add(const double *spectrum)
{
    const Eigen::Map<const Eigen::VectorXd> x(spectrum, points());
    mBatch.col(mFilled) = x;
    mSum += x;
    ++mCount;
    if (++mFilled == batchSize)
        flush();
}

void PrincipalComponents::Sums::flush()
{
    if (mFilled == 0)
        return;
    mOuter.selfadjointView<Eigen::Lower>().rankUpdate(mBatch.leftCols(mFilled));
    mFilled = 0;
}

void PrincipalComponents::Sums::merge(Sums &other)
{
    flush();
    other.flush();
    mCount += other.mCount;
    mSum += other.mSum;
    mOuter.triangularView<Eigen::Lower>() += other.mOuter;
}

PrincipalComponents PrincipalComponents::fromSums(Sums &sums, const std::vector<double> &energies)
{
    sums.flush();
    PrincipalComponents pca;
    pca.mEnergies = energies;
    pca.mBlocks = sums.count();
    if (sums.count() < 2 || sums.points() != int(energies.size()))
        return pca;
    const double count = double(sums.count());
    pca.mMean = sums.sum() / count;
    Eigen::MatrixXd covariance = sums.outer().selfadjointView<Eigen::Lower>();
    covariance -= count * pca.mMean * pca.mMean.transpose();
    covariance /= count - 1.0;
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(covariance);
    const int n = sums.points();
    pca.mEigenvalues = solver.eigenvalues().reverse();
    pca.mEigenvectors = solver.eigenvectors().rowwise().reverse();
    for (int k = 0; k < n; ++k) {
        Eigen::Index largest = 0;
        pca.mEigenvectors.col(k).cwiseAbs().maxCoeff(&largest);
        if (pca.mEigenvectors(largest, k) < 0.0)
            pca.mEigenvectors.col(k) *= -1.0;
    }
    return pca;
}

double PrincipalComponents::explainedVariance(int k) const
{
    const double total = mEigenvalues.size() > 0 ? mEigenvalues.cwiseMax(0.0).sum() : 0.0;
    if (k < 0 || k >= mEigenvalues.size() || total <= 0.0)
        return 0.0;
    return qMax(mEigenvalues(k), 0.0) / total;
}

void PrincipalComponents::scores(const double *spectrum, int count, double *out) const
{
    const Eigen::Map<const Eigen::VectorXd> x(spectrum, points());
    const Eigen::VectorXd centred = x - mMean;
    for (int k = 0; k < count; ++k)
        out[k] = mEigenvectors.col(k).dot(centred);
}

bool PrincipalComponents::saveText(const QString &path, int count) const
{
    if (!isValid())
        return false;
    count = qBound(0, count, points());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# Marvolenti principal components 1.0\n"
        << "# blocks: " << mBlocks << ", energies: " << points() << '\n'
        << "# eigenvalues (explained variance):";
    for (int k = 0; k < count; ++k)
        out << ' ' << QString::number(mEigenvalues(k), 'g', 10) << " ("
            << QString::number(explainedVariance(k), 'g', 6) << ')';
    out << "\n# energy(eV) mean";
    for (int k = 0; k < count; ++k)
        out << " component" << k + 1;
    out << '\n';
    for (int i = 0; i < points(); ++i) {
        out << QString::number(mEnergies.at(size_t(i)), 'g', 10) << ' '
            << QString::number(mMean(i), 'g', 10);
        for (int k = 0; k < count; ++k)
            out << ' ' << QString::number(mEigenvectors(i, k), 'g', 10);
        out << '\n';
    }
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}
