// Answers an endpoint holds back until they are due (delay faults, line-time
// emulation): kept ordered by due time, so sending what is due and finding
// the next wake-up cost no scan of the whole queue, and bounded in number,
// so a flood of requests under a delay fault cannot grow it without end.
// What does not fit is refused; the endpoint counts it as dropped. Used by
// the endpoint's thread only.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <utility>

namespace zrsim {

// Answers an endpoint holds back at most at one time, unless told otherwise.
inline constexpr std::size_t kMaxHeldAnswers = 1024;

template <class T> class DelayQueue {
public:
    using Time = std::chrono::steady_clock::time_point;

    explicit DelayQueue(std::size_t capacity = kMaxHeldAnswers) : capacity_(capacity) {}

    // Queues the item; false (the item is not taken) when the queue is full.
    // Items due at the same time leave in the order they came.
    bool push(Time due, T item) {
        if (items_.size() >= capacity_) return false;
        items_.emplace(due, std::move(item));
        return true;
    }

    // Hands each item due at `now` to f, earliest first, and removes it.
    template <class F> void takeDue(Time now, F&& f) {
        while (!items_.empty() && items_.begin()->first <= now) {
            auto node = items_.extract(items_.begin());
            f(node.mapped());
        }
    }

    // When the earliest item falls due; nothing when the queue is empty.
    std::optional<Time> nextDue() const {
        if (items_.empty()) return std::nullopt;
        return items_.begin()->first;
    }

    std::size_t size() const { return items_.size(); }
    void clear() { items_.clear(); }
    std::size_t capacity() const { return capacity_; }

private:
    std::size_t capacity_;
    std::multimap<Time, T> items_;
};

} // namespace zrsim
