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

    // The Fourier transform of one prepared image.
    class Prepared
    {
    public:
        bool isNull() const { return !mSpectrum; }

    private:
        friend class PhaseCorrelator;
        struct Free
        {
            void operator()(void *data) const;
        };
        // The image after filling and filtering, before the window.
        std::vector<double> mImage;
        std::unique_ptr<double[], Free> mSpectrum;
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
    // The shift that moves `moving` onto `reference`, both prepared by this correlator.
    Result correlate(const Prepared &reference, const Prepared &moving) const;
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
    using Buffer = std::unique_ptr<double[], Prepared::Free>;
    // The spectrum of an image with its mean removed and the window, moved by (windowX,
    // windowY) and times the unmoved one when asked, applied; null, with the reason, for a
    // constant image.
    Buffer transform(const double *image,
                     QString *error,
                     int windowX = 0,
                     int windowY = 0,
                     bool timesOwnWindow = false) const;
    // The normalised cross-power spectrum of two spectra of this size.
    Buffer crossPower(const double *reference, const double *moving) const;
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
