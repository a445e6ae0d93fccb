// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"

#include <optional>
#include <type_traits>
#include <utility>

namespace tw {

// A value or the error that prevented it. Callers test ok() before value().
template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(DbError error) : m_error(std::move(error))
    {
        if (!m_error.isError())
            m_error = DbError::make(ErrorNumber::InvalidOperation);
        // A failed result still holds an empty value (a closed record set, an
        // empty list), so code that forgets to test ok() reads nothing
        // rather than garbage.
        if constexpr (std::is_default_constructible_v<T>)
            m_value.emplace();
    }

    bool ok() const { return !m_error.isError(); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    // A failed result answers the fallback, not the empty value it holds.
    T valueOr(T fallback) const { return ok() ? *m_value : std::move(fallback); }

    const DbError &error() const { return m_error; }

private:
    std::optional<T> m_value;
    DbError m_error;
};

} // namespace tw
