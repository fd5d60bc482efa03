#pragma once

#include <QVector>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>

// The samples of one image, row by row. Like a vector, with two differences that matter when a
// stack of large images is read:
// - a reader that fills every sample itself can size it without having it zero-filled first:
//   that pass over the memory costs a fifth of the load;
// - the first sample can be placed at the same offset within a cache line as the samples lie
//   in their file (`alignLike`): the kernel copies a read that keeps that offset about a third
//   faster than one that shifts every byte.
template<typename T>
class SampleStore
{
public:
    SampleStore() = default;
    SampleStore(const SampleStore &other)
        : mLead(other.mLead)
    {
        resizeForOverwrite(other.mSize);
        std::copy(other.begin(), other.end(), begin());
    }
    SampleStore(SampleStore &&other) noexcept { swap(other); }
    SampleStore &operator=(SampleStore other) noexcept
    {
        swap(other);
        return *this;
    }
    void swap(SampleStore &other) noexcept
    {
        std::swap(mBuffer, other.mBuffer);
        std::swap(mData, other.mData);
        std::swap(mSize, other.mSize);
        std::swap(mCapacity, other.mCapacity);
        std::swap(mLead, other.mLead);
    }

    qsizetype size() const { return mSize; }
    bool isEmpty() const { return mSize == 0; }
    T *data() { return mData; }
    const T *data() const { return mData; }
    const T *constData() const { return mData; }
    T &operator[](qsizetype i) { return mData[i]; }
    const T &operator[](qsizetype i) const { return mData[i]; }
    T at(qsizetype i) const { return mData[i]; }
    T *begin() { return mData; }
    T *end() { return mData + mSize; }
    const T *begin() const { return mData; }
    const T *end() const { return mData + mSize; }

    // New samples are 0.
    void resize(qsizetype count)
    {
        const qsizetype old = mSize;
        resizeForOverwrite(count);
        if (count > old)
            std::fill(mData + old, mData + count, T(0));
    }
    // New samples are left as the memory holds them: for a reader that writes every one. The
    // first allocation is exact; a store that grows, as rows arrive, doubles.
    void resizeForOverwrite(qsizetype count)
    {
        if (count > mCapacity)
            reallocate(mCapacity > 0 ? std::max(count, 2 * mCapacity) : count);
        mSize = std::max<qsizetype>(count, 0);
    }
    void fill(T value, qsizetype count)
    {
        resizeForOverwrite(count);
        std::fill(begin(), end(), value);
    }
    void append(T value)
    {
        if (mSize == mCapacity)
            reallocate(std::max<qsizetype>(16, 2 * mCapacity));
        mData[mSize++] = value;
    }
    // Empties the store and gives its memory back.
    void clear()
    {
        mBuffer.reset();
        mData = nullptr;
        mSize = 0;
        mCapacity = 0;
    }
    // Empties the store; its next memory starts byteOffset bytes into a cache line (modulo
    // the line, in whole samples).
    void alignLike(quint64 byteOffset)
    {
        clear();
        mLead = qsizetype(byteOffset % lineBytes) / qsizetype(sizeof(T)) * qsizetype(sizeof(T));
    }

    bool operator==(const QVector<T> &other) const
    {
        return size() == other.size() && std::equal(begin(), end(), other.constBegin());
    }

private:
    static constexpr std::size_t lineBytes = 64;

    void reallocate(qsizetype capacity)
    {
        char *base = static_cast<char *>(::operator new(
            std::size_t(mLead) + std::size_t(capacity) * sizeof(T), std::align_val_t(lineBytes)));
        T *data = reinterpret_cast<T *>(base + mLead);
        std::copy(begin(), end(), data);
        mBuffer.reset(base);
        mData = data;
        mCapacity = capacity;
    }

    struct Free
    {
        void operator()(char *p) const { ::operator delete(p, std::align_val_t(lineBytes)); }
    };
    std::unique_ptr<char, Free> mBuffer;
    T *mData = nullptr;
    qsizetype mSize = 0;
    qsizetype mCapacity = 0;
    qsizetype mLead = 0;
};
