#include "pc_clock.h"

#include <atomic>
#include <chrono>
#include <limits>

namespace pc {

namespace {

class Steady : public Clock {
  public:
    int64_t NowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                   int64_t deadline_ms) override {
        if (deadline_ms == std::numeric_limits<int64_t>::max()) {
            cv.wait(lock);
            return;
        }
        std::chrono::steady_clock::time_point tp{std::chrono::milliseconds(deadline_ms)};
        cv.wait_until(lock, tp);
    }
};

std::atomic<Clock*> g_clock{nullptr};

}  // namespace

Clock& SteadyClock() {
    static Steady steady;
    return steady;
}

Clock& CurrentClock() {
    Clock* c = g_clock.load();
    return c ? *c : SteadyClock();
}

void SetClock(Clock* clock) { g_clock.store(clock); }

int64_t ManualClock::NowMs() {
    std::lock_guard<std::mutex> g(mu_);
    return now_;
}

void ManualClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                            int64_t deadline_ms) {
    // Registering and checking the time under mu_ closes the gap with
    // Advance(): either we see the new time, or Advance sees us and notifies
    // us after taking our mutex, which we hold until cv.wait releases it.
    int slot = -1;
    {
        std::lock_guard<std::mutex> g(mu_);
        if (now_ >= deadline_ms) return;
        for (int i = 0; i < 16; ++i) {
            if (waiters_[i].cv == nullptr) {
                waiters_[i] = {&cv, lock.mutex()};
                slot = i;
                break;
            }
        }
        ++sleepers_;
        ++sleeps_;
    }
    sleepers_cv_.notify_all();
    cv.wait(lock);
    // Unregister outside `lock` but under advance_mu_, so that Advance never
    // touches a condition variable whose owner has gone on and destroyed it.
    lock.unlock();
    {
        std::lock_guard<std::mutex> a(advance_mu_);
        std::lock_guard<std::mutex> g(mu_);
        --sleepers_;
        if (slot >= 0) waiters_[slot] = {};
    }
    lock.lock();
}

void ManualClock::Advance(int64_t ms) {
    std::lock_guard<std::mutex> a(advance_mu_);
    Waiter copy[16];
    {
        std::lock_guard<std::mutex> g(mu_);
        now_ += ms;
        for (int i = 0; i < 16; ++i) copy[i] = waiters_[i];
    }
    for (const Waiter& w : copy) {
        if (w.cv == nullptr) continue;
        std::lock_guard<std::mutex> g(*w.mu);
        w.cv->notify_all();
    }
}

int ManualClock::Sleepers() {
    std::lock_guard<std::mutex> g(mu_);
    return sleepers_;
}

bool ManualClock::WaitForSleeper(int real_timeout_ms) {
    std::unique_lock<std::mutex> l(mu_);
    return sleepers_cv_.wait_for(l, std::chrono::milliseconds(real_timeout_ms),
                                 [this] { return sleepers_ > 0; });
}

uint64_t ManualClock::Sleeps() {
    std::lock_guard<std::mutex> g(mu_);
    return sleeps_;
}

bool ManualClock::WaitForSleepsAbove(uint64_t count, int real_timeout_ms) {
    std::unique_lock<std::mutex> l(mu_);
    return sleepers_cv_.wait_for(l, std::chrono::milliseconds(real_timeout_ms),
                                 [this, count] { return sleeps_ > count; });
}

}  // namespace pc
