// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/settingsrecord.h"

#include <QList>

class QWidget;

// The Manipulator's controls of the named settings' fields, found by the
// control names of the settings field list: reads them into a settings
// record and loads a record into them as a user's change would, so the
// controls that depend on them follow (the delimiter box after the process
// method, the Format tab's rules, every tab's enabling).
class FieldControls
{
public:
    // window: the Manipulator, which holds every tab page.
    explicit FieldControls(QWidget *window);

    tw::settings::SettingsRecord read() const;
    // Fields empty in the record leave their controls as they are.
    void load(const tw::settings::SettingsRecord &record);

private:
    QList<QWidget *> m_controls; // in field order
};
