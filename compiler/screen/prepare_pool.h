#pragma once
// Runs a list of jobs on a few threads, in list order, at most `ahead` results ahead of the
// one taking them, so work that is independent until it is written out runs in parallel
// while the writer still takes the results one by one in their order.
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qv::screen {

template <class Result>
class PreparePool {
public:
    using Job = std::function<std::unique_ptr<Result>()>;

    PreparePool(std::vector<Job> jobs, unsigned threads, std::size_t ahead)
        : jobs_(std::move(jobs)), slots_(jobs_.size()), ahead_(ahead < 1 ? 1 : ahead)
    {
        for (unsigned i = 0; i < threads; ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~PreparePool()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }
    PreparePool(const PreparePool&) = delete;
    PreparePool& operator=(const PreparePool&) = delete;

    // The result of job `index`, once it is done; taken in order. What a job threw is thrown
    // here, on the taker's thread.
    std::unique_ptr<Result> take(std::size_t index)
    {
        std::unique_lock lock(mutex_);
        taken_ = index + 1;
        changed_.notify_all();
        changed_.wait(lock, [&] { return slots_[index].done; });
        Slot& slot = slots_[index];
        if (slot.error)
            std::rethrow_exception(slot.error);
        return std::move(slot.result);
    }

private:
    struct Slot {
        bool done = false;
        std::unique_ptr<Result> result;
        std::exception_ptr error;
    };

    void work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return stop_ || (next_ < jobs_.size() && next_ < taken_ + ahead_); });
            if (stop_)
                return;
            const std::size_t index = next_++;
            lock.unlock();
            std::unique_ptr<Result> result;
            std::exception_ptr error;
            try {
                result = jobs_[index]();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            slots_[index].result = std::move(result);
            slots_[index].error = error;
            slots_[index].done = true;
            changed_.notify_all();
        }
    }

    std::vector<Job> jobs_;
    std::vector<Slot> slots_;
    std::size_t ahead_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;   // the next job to start
    std::size_t taken_ = 0;  // results taken so far
    bool stop_ = false;
    std::vector<std::thread> threads_;   // last: they start once everything else is set up
};

} // namespace qv::screen
