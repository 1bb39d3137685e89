// Time source of the PC platform layer.
//
// Window timers (pc_window.h) read the time through the current Clock, so a
// test can swap in a ManualClock and step time instead of waiting for it.
// Blocking I/O time-outs (USB reads and writes, serial) use real time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace pc {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary, fixed origin; never goes back.
    virtual int64_t NowMs() = 0;
    // Called with `lock` held on `cv`'s mutex: blocks until `cv` is notified
    // or NowMs() reaches `deadline_ms`. May return early; callers re-check
    // their condition and the time.
    virtual void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                           int64_t deadline_ms) = 0;
};

// The host's monotonic clock.
Clock& SteadyClock();

// The clock that window timers use; SteadyClock() unless a test set another.
Clock& CurrentClock();
// Sets the clock for windows created from now on; nullptr restores
// SteadyClock(). The clock must outlive those windows.
void SetClock(Clock* clock);

// A clock that moves only when Advance() is called. Every thread waiting in
// WaitUntil is woken on each Advance so it can look at its deadline again.
// Up to 16 threads may wait on it at once (one per running dialog).
class ManualClock : public Clock {
  public:
    int64_t NowMs() override;
    void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                   int64_t deadline_ms) override;

    void Advance(int64_t ms);
    // Number of threads blocked in WaitUntil right now.
    int Sleepers();
    // Waits (real time, at most `real_timeout_ms`) until at least one thread
    // is blocked in WaitUntil. Returns false on time-out.
    bool WaitForSleeper(int real_timeout_ms);
    // Number of times a thread has gone to sleep in WaitUntil so far.
    uint64_t Sleeps();
    // Waits (real time, at most `real_timeout_ms`) until Sleeps() exceeds
    // `count`: after Advance, this tells that the woken thread has done its
    // work and sleeps again. Returns false on time-out.
    bool WaitForSleepsAbove(uint64_t count, int real_timeout_ms);

  private:
    struct Waiter {
        std::condition_variable* cv;
        std::mutex* mu;
    };
    std::mutex advance_mu_;  // held for a whole Advance, notifications included
    std::mutex mu_;
    std::condition_variable sleepers_cv_;
    int64_t now_ = 0;
    int sleepers_ = 0;
    uint64_t sleeps_ = 0;
    Waiter waiters_[16] = {};
};

}  // namespace pc
