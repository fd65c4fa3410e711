#pragma once
// One persistent worker thread that takes half of the strips of a time step
// while the calling thread does the other half. Strips are independent, so
// the split changes no result.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tamrel {

class StripPool {
public:
    StripPool();
    ~StripPool();
    StripPool(const StripPool&) = delete;
    StripPool& operator=(const StripPool&) = delete;

    // Run task(1) on the worker and task(0) on the caller; return when both
    // have finished. The task must not throw.
    void runPair(const std::function<void(int)>& task);

private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* task_ = nullptr;
    bool busy_ = false;
    bool quit_ = false;
    std::thread worker_;
};

} // namespace tamrel
