// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>

namespace zarvo {

// A gate on the memory of decodes in progress, shared by all threads of the process
// (shared()). A decoder asks for the bytes its pixel buffers will take once it knows the
// dimensions and before it allocates; it gets a Reservation and gives the bytes back when
// the Reservation ends. Requests are served strictly in arrival order: a request waits
// until every earlier one is served and its bytes fit into what is left of the total. A
// request larger than the whole total is served once nothing else is held, and then runs
// alone. So several workers decoding huge pictures take turns instead of exhausting memory,
// and a large request cannot be starved by a stream of small ones.
//
// Threads: all members are thread-safe. A thread must hold at most one Reservation at a time
// (a second request could wait for the first forever); the decoders keep to that.
// The budget counts only decodes in progress, not pictures after they were returned.
class DecodeBudget
{
public:
    static constexpr qint64 kDefaultTotalBytes = qint64(1) << 30;

    class Reservation
    {
    public:
        Reservation() = default;
        Reservation(Reservation&& other) noexcept;
        Reservation& operator=(Reservation&& other) noexcept;
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;
        ~Reservation();

        qint64 bytes() const { return m_bytes; }
        void release();

    private:
        friend class DecodeBudget;
        Reservation(DecodeBudget* budget, qint64 bytes)
            : m_budget(budget)
            , m_bytes(bytes)
        {
        }

        DecodeBudget* m_budget = nullptr;
        qint64 m_bytes = 0;
    };

    explicit DecodeBudget(qint64 totalBytes = kDefaultTotalBytes);
    DecodeBudget(const DecodeBudget&) = delete;
    DecodeBudget& operator=(const DecodeBudget&) = delete;

    // The process-wide budget the decoders use (kDefaultTotalBytes).
    static DecodeBudget& shared();

    // Blocks until the bytes are granted (see above). Zero or fewer bytes are granted at once.
    Reservation acquire(qint64 bytes);

    qint64 totalBytes() const { return m_total; }
    qint64 bytesInUse() const;
    // Number of requests currently waiting.
    int waitingCount() const;

private:
    void giveBack(qint64 bytes);

    const qint64 m_total;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_inUse = 0;
    quint64 m_nextTicket = 0;
    quint64 m_serving = 0;
    int m_waiting = 0;
};

} // namespace zarvo
