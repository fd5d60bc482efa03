#include "samplecolouring.h"

#include "display/colorscale.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SAMPLE_COLOURING_AVX512 1
#endif

// The sample loops are built for AVX-512 (with its 16-bit operations), AVX2 and plain SSE2;
// the copy for the processor in hand is chosen when the program starts. The checks of the
// line's steps go through the same copy, so they hold for the entries it gives.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define SAMPLE_LOOP_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define SAMPLE_LOOP_CLONES
#endif

namespace {

// Values whose entry the line may miss before the table of all values is cheaper.
constexpr int MaxExceptions = 16;
constexpr int ValueCount = 65536;
// Samples coloured at a time: their entries stay in the first-level cache.
constexpr int ChunkSize = 1024;

SAMPLE_LOOP_CLONES
void lineEntriesPlain(const quint16 *samples, int count, SampleColouring::Line line, quint16 *out)
{
    for (int i = 0; i < count; ++i) {
        const int above = int(quint16(samples[i] ^ line.flip)) - line.origin;
        float y = float(above > 0 ? above : 0) * line.slope + line.offset;
        y = y > 0.0f ? y : 0.0f;
        out[i] = quint16(int(y < line.last ? y : line.last));
    }
}

#ifdef SAMPLE_COLOURING_AVX512
#define SAMPLE_COLOURING_TARGET __attribute__((target("avx512f,avx512bw,avx512vl")))
// GCC 12's AVX-512 headers warn of their own undefined registers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The line in 32 lanes: entries of 32 samples at a time in 16-bit lanes. The widening to
// 32 bits interleaves within each 128-bit lane, which the signed pack at the end undoes.
struct Line512
{
    SAMPLE_COLOURING_TARGET explicit Line512(const SampleColouring::Line &line)
        : flip(_mm512_set1_epi16(short(line.flip)))
        , origin(_mm512_set1_epi16(short(line.origin)))
        , last(_mm512_set1_epi16(short(line.last)))
        , slope(_mm512_set1_ps(line.slope))
        , offset(_mm512_set1_ps(line.offset))
    {}

    SAMPLE_COLOURING_TARGET __m512i entries(__m512i samples) const
    {
        const __m512i zero = _mm512_setzero_si512();
        const __m512i above = _mm512_subs_epu16(_mm512_xor_si512(samples, flip), origin);
        const __m512 low = _mm512_fmadd_ps(
            _mm512_cvtepi32_ps(_mm512_unpacklo_epi16(above, zero)), slope, offset);
        const __m512 high = _mm512_fmadd_ps(
            _mm512_cvtepi32_ps(_mm512_unpackhi_epi16(above, zero)), slope, offset);
        const __m512i entries
            = _mm512_packs_epi32(_mm512_cvttps_epi32(low), _mm512_cvttps_epi32(high));
        return _mm512_min_epi16(_mm512_max_epi16(entries, zero), last);
    }

    __m512i flip, origin, last;
    __m512 slope, offset;
};

SAMPLE_COLOURING_TARGET void
lineEntries512(const quint16 *samples, int count, const SampleColouring::Line &line, quint16 *out)
{
    const Line512 vectors(line);
    int i = 0;
    for (; i + 32 <= count; i += 32)
        _mm512_storeu_si512(out + i, vectors.entries(_mm512_loadu_si512(samples + i)));
    if (i < count) {
        const __mmask32 lanes = (__mmask32(1) << (count - i)) - 1;
        const __m512i v = _mm512_maskz_loadu_epi16(lanes, samples + i);
        _mm512_mask_storeu_epi16(out + i, lanes, vectors.entries(v));
    }
}

// Grey pixels straight from the samples, when the line misses no value.
SAMPLE_COLOURING_TARGET void
lineGrey512(const quint16 *samples, qsizetype count, const SampleColouring::Line &line, uchar *out)
{
    const Line512 vectors(line);
    qsizetype i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m512i entries = vectors.entries(_mm512_loadu_si512(samples + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i), _mm512_cvtepi16_epi8(entries));
    }
    if (i < count) {
        const __mmask32 lanes = (__mmask32(1) << (count - i)) - 1;
        const __m512i v = _mm512_maskz_loadu_epi16(lanes, samples + i);
        _mm256_mask_storeu_epi8(out + i, lanes, _mm512_cvtepi16_epi8(vectors.entries(v)));
    }
}

#define SAMPLE_COLOURING_TARGET_VBMI __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))

// Hot pixels of 32 entries: red, green and blue as bytes in two registers, interleaved into
// 96 bytes by two byte permutations (first gets bytes 0 to 63, second 64 to 95).
struct HotPixels512
{
    SAMPLE_COLOURING_TARGET_VBMI HotPixels512()
    {
        // Byte k: channel k % 3 of pixel k / 3, where red and green lie in bytes 0 to 63 of
        // the first register (red first) and blue in bytes 0 to 31 of the second.
        alignas(64) uchar order[128] = {};
        for (int k = 0; k < 96; ++k) {
            const int pixel = k / 3, channel = k % 3;
            order[k] = uchar(channel == 0 ? pixel : channel == 1 ? 32 + pixel : 64 + pixel);
        }
        firstOrder = _mm512_load_si512(order);
        secondOrder = _mm512_load_si512(order + 64);
    }

    SAMPLE_COLOURING_TARGET_VBMI void pixels(__m512i entries, __m512i *first, __m256i *second) const
    {
        const __m512i full = _mm512_set1_epi16(255);
        const __m512i greenStart = _mm512_set1_epi16(255);
        const __m512i blueStart = _mm512_set1_epi16(510);
        const __m256i red = _mm512_cvtepi16_epi8(_mm512_min_epu16(entries, full));
        const __m256i green
            = _mm512_cvtepi16_epi8(_mm512_min_epu16(_mm512_subs_epu16(entries, greenStart), full));
        const __m256i blue
            = _mm512_cvtepi16_epi8(_mm512_min_epu16(_mm512_subs_epu16(entries, blueStart), full));
        const __m512i redGreen = _mm512_inserti64x4(_mm512_castsi256_si512(red), green, 1);
        const __m512i blueWide = _mm512_castsi256_si512(blue);
        *first = _mm512_permutex2var_epi8(redGreen, firstOrder, blueWide);
        *second = _mm512_castsi512_si256(_mm512_permutex2var_epi8(redGreen, secondOrder, blueWide));
    }

    __m512i firstOrder, secondOrder;
};

SAMPLE_COLOURING_TARGET_VBMI void
lineHot512(const quint16 *samples, qsizetype count, const SampleColouring::Line &line, uchar *out)
{
    const Line512 vectors(line);
    const HotPixels512 hot;
    qsizetype i = 0;
    __m512i first;
    __m256i second;
    for (; i + 32 <= count; i += 32) {
        hot.pixels(vectors.entries(_mm512_loadu_si512(samples + i)), &first, &second);
        _mm512_storeu_si512(out + 3 * i, first);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 3 * i + 64), second);
    }
    if (i < count) {
        const int rest = int(count - i);
        const __m512i v = _mm512_maskz_loadu_epi16((__mmask32(1) << rest) - 1, samples + i);
        hot.pixels(vectors.entries(v), &first, &second);
        const int bytes = 3 * rest;
        _mm512_mask_storeu_epi8(
            out + 3 * i, bytes >= 64 ? ~__mmask64(0) : (__mmask64(1) << bytes) - 1, first);
        if (bytes > 64)
            _mm256_mask_storeu_epi8(out + 3 * i + 64, (__mmask32(1) << (bytes - 64)) - 1, second);
    }
}

#pragma GCC diagnostic pop

bool hasAvx512()
{
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
                            && __builtin_cpu_supports("avx512vl");
    return has;
}

bool hasAvx512Vbmi()
{
    static const bool has = hasAvx512() && __builtin_cpu_supports("avx512vbmi");
    return has;
}
#endif

void lineEntries(const quint16 *samples, int count, const SampleColouring::Line &line, quint16 *out)
{
#ifdef SAMPLE_COLOURING_AVX512
    if (hasAvx512())
        return lineEntries512(samples, count, line, out);
#endif
    lineEntriesPlain(samples, count, line, out);
}

SAMPLE_LOOP_CLONES
void replaceEntries(const quint16 *samples, int count, quint16 value, quint16 entry, quint16 *out)
{
    for (int i = 0; i < count; ++i)
        out[i] = samples[i] == value ? entry : out[i];
}

SAMPLE_LOOP_CLONES
void greyPixels(const quint16 *entries, int count, uchar *out)
{
    for (int i = 0; i < count; ++i)
        out[i] = uchar(entries[i]);
}

// The hot table: red rises over entries 0 to 255, then green to 510, then blue to 765.
SAMPLE_LOOP_CLONES
void hotPixels(const quint16 *entries, int count, uchar *out)
{
    const auto ramp = [](int value) { return uchar(value < 0 ? 0 : value > 255 ? 255 : value); };
    for (int i = 0; i < count; ++i) {
        const int entry = entries[i];
        out[3 * i] = ramp(entry);
        out[3 * i + 1] = ramp(entry - 255);
        out[3 * i + 2] = ramp(entry - 510);
    }
}

// The first u in [from, to] whose entry reaches step, by bisection of the rising entryAt(u);
// to + 1 when none does.
template<typename EntryAt>
int firstReaching(int step, int from, int to, EntryAt entryAt)
{
    int low = from, high = to + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (entryAt(middle) >= step)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

} // namespace

int SampleColouring::Line::entry(quint16 v) const
{
    quint16 result = 0;
    lineEntries(&v, 1, *this, &result);
    return result;
}

SampleColouring::SampleColouring(const ColorScale &scale, double lo, double hi)
    : mPixelBytes(scale.bytesPerPixel())
    , mGrey(scale.format() == QImage::Format_Grayscale8)
{
    if (mPixelBytes == 0)
        return;
    if (!setUpLine(scale, lo, hi)) {
        mExceptions.clear();
        mIndexTable.resize(ValueCount);
        for (int v = 0; v < ValueCount; ++v)
            mIndexTable[size_t(v)] = quint16(scale.colourIndex((double(v) - lo) / (hi - lo)));
    }
    const quint16 zero = 0;
    colour(&zero, 1, mZeroColour.data());
}

bool SampleColouring::setUpLine(const ColorScale &scale, double lo, double hi)
{
    // The scale takes entry floor(t * steps) of t = (x - lower) / (upper - lower) for the
    // fraction x = (v - lo) / (hi - lo): entry k begins at v = start + k * width.
    const int last = scale.lastColourIndex();
    const int steps = last == 255 ? 256 : last;
    const double lower = scale.lowerLimit();
    const double upper = scale.upperLimit();
    const double start = lo + (hi - lo) * lower;
    const double width = (hi - lo) * (upper - lower) / steps;
    if (!std::isfinite(start) || !std::isfinite(width) || width == 0.0)
        return false;
    // Over u, which is v or 65535 - v, the entries rise.
    const bool falling = width < 0.0;
    const double origin = falling ? 65535.0 - start : start;
    const double spacing = std::abs(width);
    mLine.flip = falling ? 0xffff : 0;
    mLine.origin = int(qBound(0.0, std::floor(origin), 65535.0));
    mLine.slope = float(1.0 / spacing);
    mLine.offset = float((mLine.origin - origin) / spacing);
    mLine.last = float(last);
    // The vector loops take the line's values in 32-bit integers.
    if (!std::isfinite(mLine.slope) || !std::isfinite(mLine.offset) || mLine.slope > 30000.0f
        || std::abs(mLine.offset) > 30000.0f)
        return false;

    const auto exactAt = [&](int u) {
        return scale.colourIndex((double(quint16(u) ^ mLine.flip) - lo) / (hi - lo));
    };
    const auto lineAt = [&](int u) { return mLine.entry(quint16(u) ^ mLine.flip); };
    if (exactAt(0) != lineAt(0) || exactAt(ValueCount - 1) != lineAt(ValueCount - 1))
        return false;

    // Both step functions rise with u; they are equal when every step begins at the same u.
    // Where a step begins elsewhere, the values in between are exceptions. The line's steps
    // begin where its equation puts them, give or take rounding: those u and the ones below
    // them are tried together, in one pass of the vector loop.
    const int firstStep = lineAt(0) + 1;
    const int lastStep = lineAt(ValueCount - 1);
    const int stepCount = std::max(0, lastStep - firstStep + 1);
    std::vector<quint16> probes(2 * size_t(stepCount)), probed(probes.size());
    for (int k = 0; k < stepCount; ++k) {
        const double at = mLine.origin + std::ceil((firstStep + k - mLine.offset) / mLine.slope);
        const int guess = int(qBound(1.0, at, double(ValueCount - 1)));
        probes[2 * size_t(k)] = quint16(guess - 1) ^ mLine.flip;
        probes[2 * size_t(k) + 1] = quint16(guess) ^ mLine.flip;
    }
    lineEntries(probes.data(), int(probes.size()), mLine, probed.data());
    for (int k = 0; k < stepCount; ++k) {
        const int step = firstStep + k;
        int begin = quint16(probes[2 * size_t(k) + 1] ^ mLine.flip);
        if (probed[2 * size_t(k)] >= step || probed[2 * size_t(k) + 1] < step)
            begin = firstReaching(step, 1, ValueCount - 1, lineAt);
        if (exactAt(begin - 1) < step && exactAt(begin) >= step)
            continue;
        const int exactBegin = firstReaching(step, 1, ValueCount - 1, exactAt);
        for (int u = std::min(begin, exactBegin); u < std::max(begin, exactBegin); ++u) {
            const quint16 value = quint16(u) ^ mLine.flip;
            if (std::none_of(mExceptions.begin(), mExceptions.end(), [value](const auto &e) {
                    return e.first == value;
                })) {
                mExceptions.emplace_back(value, quint16(exactAt(u)));
            }
            if (int(mExceptions.size()) > MaxExceptions)
                return false;
        }
    }
    return true;
}

void SampleColouring::entries(const quint16 *samples, int count, quint16 *out) const
{
    if (!mIndexTable.empty()) {
        for (int i = 0; i < count; ++i)
            out[i] = mIndexTable[samples[i]];
        return;
    }
    lineEntries(samples, count, mLine, out);
    for (const auto &[value, entry] : mExceptions)
        replaceEntries(samples, count, value, entry, out);
}

void SampleColouring::colour(const quint16 *samples, qsizetype count, uchar *out) const
{
    if (mPixelBytes == 0)
        return;
#ifdef SAMPLE_COLOURING_AVX512
    if (mIndexTable.empty() && mExceptions.empty()) {
        if (mGrey && hasAvx512())
            return lineGrey512(samples, count, mLine, out);
        if (!mGrey && hasAvx512Vbmi())
            return lineHot512(samples, count, mLine, out);
    }
#endif
    quint16 chunk[ChunkSize];
    for (qsizetype done = 0; done < count; done += ChunkSize) {
        const int n = int(std::min<qsizetype>(ChunkSize, count - done));
        entries(samples + done, n, chunk);
        if (mGrey)
            greyPixels(chunk, n, out + done);
        else
            hotPixels(chunk, n, out + 3 * done);
    }
}
