#pragma once

#include <QVector>

#include <algorithm>
#include <memory>
#include <vector>

// The samples of one image, row by row. Like a vector, but a reader that fills every sample
// itself can size it without having it zero-filled first: for a stack of large images that
// pass over the memory costs a fifth of the load.
template<typename T>
class SampleStore
{
public:
    qsizetype size() const { return qsizetype(mSamples.size()); }
    bool isEmpty() const { return mSamples.empty(); }
    T *data() { return mSamples.data(); }
    const T *data() const { return mSamples.data(); }
    const T *constData() const { return mSamples.data(); }
    T &operator[](qsizetype i) { return mSamples[size_t(i)]; }
    const T &operator[](qsizetype i) const { return mSamples[size_t(i)]; }
    T at(qsizetype i) const { return mSamples[size_t(i)]; }
    T *begin() { return mSamples.data(); }
    T *end() { return mSamples.data() + mSamples.size(); }
    const T *begin() const { return mSamples.data(); }
    const T *end() const { return mSamples.data() + mSamples.size(); }

    // New samples are 0.
    void resize(qsizetype count) { mSamples.resize(size_t(count), T(0)); }
    // New samples are left as the memory holds them: for a reader that writes every one.
    void resizeForOverwrite(qsizetype count) { mSamples.resize(size_t(count)); }
    void fill(T value, qsizetype count)
    {
        resizeForOverwrite(count);
        std::fill(mSamples.begin(), mSamples.end(), value);
    }
    void append(T value) { mSamples.push_back(value); }
    // Empties the store and gives its memory back.
    void clear() { Samples().swap(mSamples); }

    bool operator==(const QVector<T> &other) const
    {
        return size() == other.size() && std::equal(begin(), end(), other.constBegin());
    }

private:
    // Constructs new elements without a value (default-initialised, which for numbers means
    // not written) unless resize() or append() gives one.
    template<typename U>
    struct Allocator : std::allocator<U>
    {
        template<typename V>
        struct rebind
        {
            using other = Allocator<V>;
        };
        Allocator() = default;
        template<typename V>
        Allocator(const Allocator<V> &) noexcept
        {}
        template<typename V>
        void construct(V *p) noexcept
        {
            ::new (static_cast<void *>(p)) V;
        }
        template<typename V, typename... Args>
        void construct(V *p, Args &&...args)
        {
            ::new (static_cast<void *>(p)) V(std::forward<Args>(args)...);
        }
    };
    using Samples = std::vector<T, Allocator<T>>;
    Samples mSamples;
};
