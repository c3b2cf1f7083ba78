#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// A worker thread that computes only the newest request. A request that arrives while another
// is being computed stops that one (its computation is handed a stop flag to check) and a request
// still waiting is replaced: stale requests are dropped, never queued. Each result goes to
// deliver, on the worker's thread, with the id Post gave its request.
template <class Request, class Result>
class LatestRequestWorker {
public:
    using Compute = std::function<Result(const Request&, const std::atomic<bool>& stop)>;
    using Deliver = std::function<void(std::uint64_t id, const Result& result)>;

    LatestRequestWorker(Compute compute, Deliver deliver)
        : m_compute(std::move(compute)), m_deliver(std::move(deliver)),
          m_thread([this] { Loop(); }) {}
    ~LatestRequestWorker() {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    LatestRequestWorker(const LatestRequestWorker&) = delete;
    LatestRequestWorker& operator=(const LatestRequestWorker&) = delete;

    // Hands in a request; the one being computed, if any, is asked to stop.
    std::uint64_t Post(Request request) {
        std::uint64_t id = 0;
        {
            const std::lock_guard lock(m_mutex);
            id = ++m_lastId;
            m_waiting = std::make_pair(id, std::move(request));
            m_stop = true;
        }
        m_wake.notify_all();
        return id;
    }

    // Stops the request being computed and drops the one waiting: neither gives a result.
    void Cancel() {
        const std::lock_guard lock(m_mutex);
        m_waiting.reset();
        m_stop = true;
    }

    // Waits at most the given time for the result of a request; true, with the result, when it
    // came (also when it had come before).
    bool WaitFor(std::uint64_t id, std::chrono::milliseconds most, Result& result) {
        std::unique_lock lock(m_mutex);
        const bool came = m_done.wait_for(lock, most, [&] { return m_resultId >= id; });
        if (came && m_resultId == id) {
            result = m_result;
            return true;
        }
        return false;
    }

private:
    void Loop() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_quit || m_waiting.has_value(); });
            if (m_quit) {
                return;
            }
            auto [id, request] = std::move(*m_waiting);
            m_waiting.reset();
            m_stop = false;
            lock.unlock();
            Result result = m_compute(request, m_stop);
            lock.lock();
            // A result that a newer request made stale still counts as that request's answer
            // only when nothing newer came; the newer one's computation follows at once.
            if (!m_waiting && !m_stop) {
                m_result = result;
                m_resultId = id;
                m_done.notify_all();
                lock.unlock();
                m_deliver(id, result);
                lock.lock();
            }
        }
    }

    Compute m_compute;
    Deliver m_deliver;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::optional<std::pair<std::uint64_t, Request>> m_waiting;
    std::atomic<bool> m_stop{false};
    bool m_quit = false;
    std::uint64_t m_lastId = 0;
    std::uint64_t m_resultId = 0;
    Result m_result{};
    std::thread m_thread; // last: starts once everything above is made
};
