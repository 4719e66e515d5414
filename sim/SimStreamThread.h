#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace camsim {

// The thread that sends a stream's datagrams. A stop wakes it out of its pause between pictures and
// waits for it; start and stop come from the HTTP workers, so they hold `control`.
struct SimStreamThread
{
    std::mutex control;
    // Set from the start until the stop, and cleared by a sender that could not begin.
    std::atomic<bool> running { false };

    ~SimStreamThread() { stop(); }

    void stop()
    {
        std::lock_guard guard(control);
        stopLocked();
    }

    // The caller holds control.
    void stopLocked()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopRequested = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        running = false;
    }

    // The caller holds control and has stopped the previous sender.
    template<typename Work> void run(Work work)
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopRequested = false;
        }
        running = true;
        m_thread = std::thread(std::move(work));
    }

    // For the sender: false as soon as a stop is requested, true when the time came.
    bool sleepUntil(std::chrono::steady_clock::time_point t)
    {
        std::unique_lock lock(m_mutex);
        return !m_wake.wait_until(lock, t, [this] { return m_stopRequested; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopRequested = false;
    std::thread m_thread;
};

} // namespace camsim
