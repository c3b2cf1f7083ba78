#pragma once

#include <atomic>
#include <cstdint>

// Long work (sampling a dense sheet, filling a table, exporting) tells how far it got and
// learns whether to go on, so that a window can show progress and offer to cancel.
class Progress {
public:
    virtual ~Progress() = default;
    // done of total steps are finished; false asks the work to stop where it is.
    virtual bool Advance(std::int64_t done, std::int64_t total) = 0;
    // Whether the work was asked to stop, without telling any progress: an evaluation that
    // ended without a value may have been stopped inside.
    virtual bool StopAsked() const { return false; }
};

// Progress of work on another thread: the work writes how far it got, the window reads it and
// may ask it to stop at any time. The stop flag is also the one an evaluation checks inside its
// loops, so that a single long evaluation ends too.
class JobProgress : public Progress {
public:
    bool Advance(std::int64_t done, std::int64_t total) override {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        return !m_stop.load(std::memory_order_relaxed);
    }
    bool StopAsked() const override { return Stopped(); }
    void Stop() { m_stop.store(true); }
    bool Stopped() const { return m_stop.load(); }
    const std::atomic<bool>& StopFlag() const { return m_stop; }
    std::int64_t Done() const { return m_done.load(std::memory_order_relaxed); }
    std::int64_t Total() const { return m_total.load(std::memory_order_relaxed); }

private:
    std::atomic<std::int64_t> m_done{0};
    std::atomic<std::int64_t> m_total{0};
    std::atomic<bool> m_stop{false};
};
