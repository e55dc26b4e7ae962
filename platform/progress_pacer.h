// CProgressPacer: tells a long loop when to talk to its window again. A bar or a caption
// changed every 64 KiB, or a message queue looked at per line of a mail, costs more than the
// work under Wine (each is a round trip to its server) and repaints far more often than
// anyone sees; once per interval keeps the bar smooth and Cancel prompt.
#pragma once

#include <chrono>

class CProgressPacer {
public:
    // 40 ms: some 25 updates a second, and Cancel is seen within a blink.
    static constexpr int kDefaultIntervalMs = 40;

    explicit CProgressPacer(int intervalMs = kDefaultIntervalMs) : interval_(intervalMs) {}

    // 0 makes every call due (tests that count pumps set it).
    void SetInterval(int milliseconds) { interval_ = std::chrono::milliseconds(milliseconds); }
    // True at the first call, then once an interval has passed since the last true.
    bool Due() {
        if (interval_.count() <= 0) return true;
        auto now = std::chrono::steady_clock::now();
        if (started_ && now - last_ < interval_) return false;
        started_ = true;
        last_ = now;
        return true;
    }
    // The next call is due whatever the time.
    void Reset() { started_ = false; }

private:
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_{};
    bool started_ = false;
};
