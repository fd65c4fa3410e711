#include "run/StripPool.h"

namespace tamrel {

StripPool::StripPool()
    : worker_([this] { loop(); })
{
}

StripPool::~StripPool()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void StripPool::runPair(const std::function<void(int)>& task)
{
    {
        std::lock_guard lock(mutex_);
        task_ = &task;
        busy_ = true;
    }
    wake_.notify_one();
    task(0);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return !busy_; });
    task_ = nullptr;
}

void StripPool::loop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || busy_; });
        if (quit_)
            return;
        const auto* task = task_;
        lock.unlock();
        (*task)(1);
        lock.lock();
        busy_ = false;
        done_.notify_one();
    }
}

} // namespace tamrel
