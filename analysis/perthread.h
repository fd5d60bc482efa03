#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// One T for every thread that asks, made on the thread's first use, so that the threads of an
// area run add to sums of their own without locks; once the run is over, all() holds every
// thread's sums for merging.
template<typename T>
class PerThread
{
public:
    explicit PerThread(std::function<T()> make)
        : mMake(std::move(make))
        , mId(nextId())
    {}
    PerThread(const PerThread &) = delete;
    PerThread &operator=(const PerThread &) = delete;

    // This thread's T.
    T &local()
    {
        // A thread keeps the one it took last; a new set of sums has a new id.
        thread_local quint64 ownerId = 0;
        thread_local T *mine = nullptr;
        if (ownerId != mId) {
            const std::lock_guard<std::mutex> lock(mMutex);
            mAll.push_back(std::make_unique<T>(mMake()));
            mine = mAll.back().get();
            ownerId = mId;
        }
        return *mine;
    }
    // Every thread's T; read only after the threads are done.
    const std::vector<std::unique_ptr<T>> &all() const { return mAll; }

private:
    static quint64 nextId()
    {
        static std::atomic<quint64> ids{0};
        return ++ids;
    }

    std::function<T()> mMake;
    const quint64 mId;
    std::mutex mMutex;
    std::vector<std::unique_ptr<T>> mAll;
};
