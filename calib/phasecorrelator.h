#pragma once

#include <QSize>
#include <QString>

#include <memory>
#include <vector>

// Finds the translation between two images of one size by phase correlation: each image is
// prepared once (non-finite samples filled with the mean, an optional gradient magnitude, the
// mean removed, a Tukey window against edge effects, a real-to-complex FFT), the normalised
// cross-power spectrum of a pair is transformed back, and the integer peak is refined by an
// upsampled DFT around it, computed as two small matrix products (Guizar-Sicairos, Thurman and
// Fienup, Opt. Lett. 33, 156 (2008)). FFTW plans are made once per size under a lock; the
// transforms run through FFTW's new-array functions, so one correlator serves many threads.
class PhaseCorrelator
{
public:
    struct Options
    {
        // Correlate the gradient magnitudes: robust where the contrast inverts.
        bool gradient = false;
        // The peak is found to 1/upsample pixel; 1 keeps the integer peak.
        int upsample = 100;
    };

private:
    struct Free
    {
        void operator()(void *data) const;
    };
    using Buffer = std::unique_ptr<double[], Free>;

public:
    // The Fourier transform of one prepared image. Preparing into one again reuses its memory.
    class Prepared
    {
    public:
        bool isNull() const { return !mValid; }

    private:
        friend class PhaseCorrelator;
        // The image after filling and filtering, before the window.
        std::vector<double> mImage;
        Buffer mSpectrum;
        size_t mSpectrumCount = 0;
        // The mean of the image, removed before the transform.
        double mMean = 0.0;
        bool mValid = false;
    };

    // The working memory of one thread's registrations, kept from image to image: images of
    // millions of samples would otherwise be allocated, and cleared by the system, several
    // times for each image.
    class Workspace
    {
    private:
        friend class PhaseCorrelator;
        size_t mCount = 0;
        // The windowed image, then the correlation.
        Buffer mReal;
        // The cross power, its copy for the inverse transform, and the spectra of the images
        // windowed again around the whole shift.
        Buffer mCross;
        Buffer mScratch;
        Buffer mMoved;
        Buffer mFixed;
        std::vector<double> mGradient;
    };

    struct Result
    {
        bool ok = false;
        // The shift that moves the image onto the reference, in pixels.
        double dx = 0.0;
        double dy = 0.0;
        // Peak height over the mean absolute value of the correlation.
        double quality = 0.0;
        // Why there is no shift (untranslated text of context "PhaseCorrelator").
        QString error;
    };

    PhaseCorrelator(int width, int height, const Options &options);

    int width() const { return mWidth; }
    int height() const { return mHeight; }

    // Prepares width x height row-major samples (NaN allowed); a null Prepared and the reason
    // for an image without a usable peak (no finite sample, constant).
    Prepared prepare(const double *samples, QString *error) const;
    void prepare(const double *samples, QString *error, Prepared &into, Workspace &workspace) const;
    // The shift that moves `moving` onto `reference`, both prepared by this correlator.
    Result correlate(const Prepared &reference, const Prepared &moving) const;
    Result correlate(const Prepared &reference, const Prepared &moving, Workspace &workspace) const;
    // The half spectrum (height rows of width / 2 + 1 complex values) of width x height real
    // samples, and back without scaling (the input is overwritten), through the plans of this
    // size. Both arrays must come from fftw_malloc.
    void forwardTransform(double *real, double *spectrum) const;
    void inverseTransform(double *spectrum, double *real) const;

    // Both steps for two images; images of different sizes are refused.
    static Result registerImages(const std::vector<double> &reference,
                                 QSize referenceSize,
                                 const std::vector<double> &moving,
                                 QSize movingSize,
                                 const Options &options);

private:
    struct Plans;
    // Gives the workspace its buffers for this size.
    void ready(Workspace &workspace) const;
    // Writes into spectrum the transform of an image with its mean removed and the window,
    // moved by (windowX, windowY) and times the unmoved one when asked, applied.
    void transform(const double *image,
                   double mean,
                   double *spectrum,
                   Workspace &workspace,
                   int windowX = 0,
                   int windowY = 0,
                   bool timesOwnWindow = false) const;
    // Writes into cross the normalised cross-power spectrum of two spectra of this size.
    void crossPower(const double *reference, const double *moving, double *cross) const;
    // Moves (x, y) to the upsampled peak of the correlation of cross near it.
    void refine(const double *cross, double &x, double &y) const;
    // The peak of the upsampled correlation on a grid of count x count points, factor per
    // pixel, centred on (centreX, centreY); returns it in (centreX, centreY).
    void refinePeak(
        const double *spectrum, int factor, int count, double &centreX, double &centreY) const;

    int mWidth;
    int mHeight;
    int mHalfWidth;
    Options mOptions;
    const Plans *mPlans;
    std::vector<double> mWindowX;
    std::vector<double> mWindowY;
};
