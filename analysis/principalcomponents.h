#pragma once

#include <Eigen/Dense>

#include <QString>
#include <QtGlobal>

#include <vector>

// The principal components of a set of spectra on common energies: their mean, the eigenvalues
// of their covariance in falling order and the eigenvectors (eigenspectra), each with its
// largest component positive. Built from sums that threads accumulate apart and merge, so
// that no spectrum is kept.
class PrincipalComponents
{
public:
    // Count, sum and sum of outer products of spectra of n points, in double. Spectra are
    // gathered into a batch and added as one rank update.
    class Sums
    {
    public:
        explicit Sums(int points = 0);
        int points() const { return int(mSum.size()); }
        qint64 count() const { return mCount; }
        void add(const double *spectrum);
        // Adds the spectra still in the batch, and those of other.
        void merge(Sums &other);
        // Adds the spectra still in the batch.
        void flush();
        // The lower triangle holds the sum of outer products after flush().
        const Eigen::MatrixXd &outer() const { return mOuter; }
        const Eigen::VectorXd &sum() const { return mSum; }

    private:
        static constexpr int batchSize = 64;
        qint64 mCount = 0;
        Eigen::VectorXd mSum;
        Eigen::MatrixXd mOuter;
        Eigen::MatrixXd mBatch;
        int mFilled = 0;
    };

    PrincipalComponents() = default;
    // The components of the spectra summed, on these energies; invalid with fewer than two.
    static PrincipalComponents fromSums(Sums &sums, const std::vector<double> &energies);

    bool isValid() const { return mBlocks >= 2; }
    qint64 blocks() const { return mBlocks; }
    int points() const { return int(mEnergies.size()); }
    const std::vector<double> &energies() const { return mEnergies; }
    const Eigen::VectorXd &mean() const { return mMean; }
    // All eigenvalues, largest first.
    const Eigen::VectorXd &eigenvalues() const { return mEigenvalues; }
    // Eigenvector k as column k.
    const Eigen::MatrixXd &eigenvectors() const { return mEigenvectors; }
    // The share of the total variance that component k explains.
    double explainedVariance(int k) const;
    // The scores of a spectrum of points() values on the first count components.
    void scores(const double *spectrum, int count, double *out) const;
    // Writes the mean, the eigenvalues and the first count eigenspectra as text with a header:
    // one line per energy (energy, mean, eigenspectra), the eigenvalues and their shares in the
    // header. False when the file cannot be written.
    bool saveText(const QString &path, int count) const;

private:
    std::vector<double> mEnergies;
    qint64 mBlocks = 0;
    Eigen::VectorXd mMean;
    Eigen::VectorXd mEigenvalues;
    Eigen::MatrixXd mEigenvectors;
};
