#include "pc_window.h"

#include <condition_variable>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <mutex>

#include "pc_clock.h"

namespace pc {

namespace {

struct Message {
    unsigned msg;
    uintptr_t wparam;
    intptr_t lparam;
};

struct Timer {
    int64_t period;
    int64_t deadline;
};

struct Window {
    WndProc proc;
    Clock* clock;
    std::mutex mu;
    std::condition_variable cv;
    std::deque<Message> queue;
    std::map<int, Timer> timers;
    bool ended = false;
    intptr_t value = 0;
};

std::mutex g_registry_mu;
std::map<Hwnd, std::shared_ptr<Window>> g_windows;
Hwnd g_next_handle = 0x1000;

std::shared_ptr<Window> Find(Hwnd w) {
    std::lock_guard<std::mutex> g(g_registry_mu);
    auto it = g_windows.find(w);
    return it == g_windows.end() ? nullptr : it->second;
}

}  // namespace

intptr_t RunModal(const WndProc& proc) {
    auto win = std::make_shared<Window>();
    win->proc = proc;
    win->clock = &CurrentClock();
    Hwnd h;
    {
        std::lock_guard<std::mutex> g(g_registry_mu);
        h = g_next_handle++;
        g_windows[h] = win;
    }
    proc(h, kMsgInitDialog, 0, 0);
    std::unique_lock<std::mutex> lock(win->mu);
    while (!win->ended) {
        if (!win->queue.empty()) {
            Message m = win->queue.front();
            win->queue.pop_front();
            lock.unlock();
            proc(h, m.msg, m.wparam, m.lparam);
            lock.lock();
            continue;
        }
        int64_t now = win->clock->NowMs();
        int64_t next = std::numeric_limits<int64_t>::max();
        int due = 0;
        for (auto& [id, t] : win->timers) {
            if (t.deadline < next) {
                next = t.deadline;
                due = id;
            }
        }
        if (next <= now) {
            win->timers[due].deadline = now + win->timers[due].period;
            lock.unlock();
            proc(h, kMsgTimer, static_cast<uintptr_t>(due), 0);
            lock.lock();
            continue;
        }
        win->clock->WaitUntil(win->cv, lock, next);
    }
    intptr_t value = win->value;
    win->timers.clear();
    win->queue.clear();
    lock.unlock();
    proc(h, kMsgDestroy, 0, 0);
    std::lock_guard<std::mutex> g(g_registry_mu);
    g_windows.erase(h);
    return value;
}

bool PostMessage(Hwnd w, unsigned msg, uintptr_t wparam, intptr_t lparam) {
    auto win = Find(w);
    if (!win) return false;
    {
        std::lock_guard<std::mutex> g(win->mu);
        if (win->ended) return false;
        win->queue.push_back({msg, wparam, lparam});
    }
    win->cv.notify_all();
    return true;
}

void SendMessage(Hwnd w, unsigned msg, uintptr_t wparam, intptr_t lparam) {
    auto win = Find(w);
    if (win) win->proc(w, msg, wparam, lparam);
}

void SetTimer(Hwnd w, int id, int64_t ms) {
    auto win = Find(w);
    if (!win) return;
    {
        std::lock_guard<std::mutex> g(win->mu);
        win->timers[id] = {ms, win->clock->NowMs() + ms};
    }
    win->cv.notify_all();
}

void KillTimer(Hwnd w, int id) {
    auto win = Find(w);
    if (!win) return;
    std::lock_guard<std::mutex> g(win->mu);
    win->timers.erase(id);
}

void EndDialog(Hwnd w, intptr_t value) {
    auto win = Find(w);
    if (!win) return;
    {
        std::lock_guard<std::mutex> g(win->mu);
        if (win->ended) return;
        win->ended = true;
        win->value = value;
    }
    win->cv.notify_all();
}

}  // namespace pc
