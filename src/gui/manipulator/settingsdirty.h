// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a field of the Manipulator's tabs was changed since the named
// settings were last saved or selected. Loading named settings into the
// fields changes them too, but that is not the user's change.
class SettingsDirty
{
public:
    bool isDirty() const { return m_dirty; }
    void markDirty()
    {
        if (!m_loading)
            m_dirty = true;
    }
    void clear() { m_dirty = false; }
    void setLoading(bool loading) { m_loading = loading; }

private:
    bool m_dirty = false;
    bool m_loading = false;
};
