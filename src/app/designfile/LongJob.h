#pragma once

// A long job of the design file (a save or an open) on a worker: its Stop, its progress, and its work spread
// over plain threads, each piece on a thread of its own, or on the calling thread when no thread can be had;
// an exception a piece throws is passed on once all ended.

#include <QtGlobal>

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

inline bool stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

// Tells done out of total as a share of the percents from `from` to `to`.
inline void report(std::atomic<int>* progress, qint64 done, qint64 total, int from, int to)
{
    if (progress && total > 0)
        progress->store(from + int((to - from) * done / total), std::memory_order_relaxed);
}

// Runs work(0 .. n - 1) at once, work(0) on the calling thread; an exception is passed on once all ended.
template <typename Work> inline void onThreads(int n, const Work& work)
{
    std::vector<std::exception_ptr> errors(static_cast<size_t>(n));
    const auto run = [&](int t) {
        try {
            work(t);
        } catch (...) {
            errors[size_t(t)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < n; ++t) {
        try {
            threads.emplace_back(run, t);
        } catch (const std::system_error&) {
            run(t); // no thread to be had: done here
        }
    }
    run(0);
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& e : errors)
        if (e)
            std::rethrow_exception(e);
}

// Threads doing one piece of work each in the background, until finish() or the end of the crew.
class Crew {
public:
    Crew() = default;
    Crew(const Crew&) = delete;
    Crew& operator=(const Crew&) = delete;
    ~Crew() { join(); }

    template <typename Work> void start(int n, const Work& work)
    {
        m_errors.assign(static_cast<size_t>(n), nullptr);
        for (int t = 0; t < n; ++t) {
            const auto run = [this, work, t] {
                try {
                    work(t);
                } catch (...) {
                    m_errors[size_t(t)] = std::current_exception();
                }
            };
            try {
                m_threads.emplace_back(run);
            } catch (const std::system_error&) {
                run(); // no thread to be had: done here
            }
        }
    }
    // Waits for the work started; an exception it threw is passed on.
    void finish()
    {
        join();
        for (const std::exception_ptr& e : std::exchange(m_errors, {}))
            if (e)
                std::rethrow_exception(e);
    }

private:
    void join()
    {
        for (std::thread& t : m_threads)
            t.join();
        m_threads.clear();
    }
    std::vector<std::thread> m_threads;
    std::vector<std::exception_ptr> m_errors;
};
