// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/dberror.h"

#include <optional>
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
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }

    const DbError &error() const { return m_error; }

private:
    std::optional<T> m_value;
    DbError m_error;
};

} // namespace tw
