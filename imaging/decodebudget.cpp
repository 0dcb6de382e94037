// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/decodebudget.h"

#include <utility>

namespace zarvo {

DecodeBudget::Reservation::Reservation(Reservation&& other) noexcept
    : m_budget(std::exchange(other.m_budget, nullptr))
    , m_bytes(std::exchange(other.m_bytes, 0))
{
}

DecodeBudget::Reservation& DecodeBudget::Reservation::operator=(Reservation&& other) noexcept
{
    if (this != &other) {
        release();
        m_budget = std::exchange(other.m_budget, nullptr);
        m_bytes = std::exchange(other.m_bytes, 0);
    }
    return *this;
}

DecodeBudget::Reservation::~Reservation()
{
    release();
}

void DecodeBudget::Reservation::release()
{
    if (m_budget)
        m_budget->giveBack(m_bytes);
    m_budget = nullptr;
    m_bytes = 0;
}

DecodeBudget::DecodeBudget(qint64 totalBytes)
    : m_total(totalBytes)
{
}

DecodeBudget& DecodeBudget::shared()
{
    static DecodeBudget budget;
    return budget;
}

DecodeBudget::Reservation DecodeBudget::acquire(qint64 bytes)
{
    if (bytes <= 0)
        return {};
    std::unique_lock lock(m_mutex);
    const quint64 ticket = m_nextTicket++;
    const auto mayGo
        = [&] { return ticket == m_serving && (m_inUse == 0 || m_inUse + bytes <= m_total); };
    if (!mayGo()) {
        ++m_waiting;
        m_changed.wait(lock, mayGo);
        --m_waiting;
    }
    m_inUse += bytes;
    ++m_serving;
    // The next ticket may fit as well.
    m_changed.notify_all();
    return Reservation(this, bytes);
}

void DecodeBudget::giveBack(qint64 bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_inUse -= bytes;
    }
    m_changed.notify_all();
}

qint64 DecodeBudget::bytesInUse() const
{
    std::lock_guard lock(m_mutex);
    return m_inUse;
}

int DecodeBudget::waitingCount() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting;
}

} // namespace zarvo
