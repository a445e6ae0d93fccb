// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QCheckBox;
class QWidget;
class SettingsDirty;

// The pair of boxes every operation tab carries: whether a run ends on the
// Text/Lines tab, and whether it then selects the whole result. The second one
// only makes sense while the first is checked. The rules run whether the user
// clicks a box or named settings set it.
class AfterProcessBoxes : public QObject
{
    Q_OBJECT

public:
    // afterName/selectAllName are the boxes' control names (Check5 and Check11
    // on the Move Text tab, and so on).
    AfterProcessBoxes(SettingsDirty &dirty, const QString &afterName, const QString &selectAllName,
                      QWidget *page);

    QCheckBox *afterProcess() const { return m_after; }
    QCheckBox *selectAll() const { return m_selectAll; }

    bool showTextTab() const;
    bool selectWholeText() const;

private:
    void afterProcessClicked();

    SettingsDirty &m_dirty;
    QCheckBox *m_after;
    QCheckBox *m_selectAll;
};
