#pragma once

#include <QtGlobal>

#include <cstdlib>
#include <cstring>
#include <memory>

// The cell values of a result map. The memory comes zeroed from calloc, which for a large map
// maps fresh pages that the system clears when each is first written: a run over millions of
// cells does not wait for a serial fill, and cells never written cost no memory.
class MapCells
{
public:
    MapCells() = default;
    MapCells(const MapCells &other) { *this = other; }
    MapCells &operator=(const MapCells &other)
    {
        if (this != &other) {
            allocate(other.mSize);
            if (mSize > 0)
                std::memcpy(mValues.get(), other.mValues.get(), size_t(mSize) * sizeof(double));
        }
        return *this;
    }

    // count cells of 0; none when count is not positive or the memory is not there.
    void allocate(qint64 count)
    {
        mValues.reset(count > 0 ? static_cast<double *>(std::calloc(size_t(count), sizeof(double)))
                                : nullptr);
        mSize = mValues ? count : 0;
    }
    void release()
    {
        mValues.reset();
        mSize = 0;
    }

    bool isEmpty() const { return mSize == 0; }
    qint64 size() const { return mSize; }
    double at(qint64 i) const { return mValues[size_t(i)]; }
    double *data() { return mValues.get(); }
    const double *data() const { return mValues.get(); }
    const double *cbegin() const { return mValues.get(); }
    const double *cend() const { return mValues.get() + mSize; }

private:
    struct Free
    {
        void operator()(double *values) const { std::free(values); }
    };
    std::unique_ptr<double[], Free> mValues;
    qint64 mSize = 0;
};
