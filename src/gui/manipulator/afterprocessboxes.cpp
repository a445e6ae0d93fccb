// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/afterprocessboxes.h"

#include "gui/manipulator/settingsdirty.h"

#include <QCheckBox>

AfterProcessBoxes::AfterProcessBoxes(SettingsDirty &dirty, const QString &afterName,
                                     const QString &selectAllName, QWidget *page)
    : QObject(page), m_dirty(dirty),
      m_after(new QCheckBox(tr("After Process, show Text/Lines tab"), page)),
      m_selectAll(new QCheckBox(tr("Select All Text"), page))
{
    m_after->setObjectName(afterName);
    m_selectAll->setObjectName(selectAllName);
    m_after->setChecked(true);
    m_selectAll->setChecked(false);
    connect(m_after, &QCheckBox::toggled, this, &AfterProcessBoxes::afterProcessClicked);
    connect(m_selectAll, &QCheckBox::toggled, this, [this] { m_dirty.markDirty(); });
}

void AfterProcessBoxes::afterProcessClicked()
{
    if (m_after->isChecked()) {
        m_selectAll->setEnabled(true);
    } else {
        m_selectAll->setChecked(false);
        m_selectAll->setEnabled(false);
    }
    m_dirty.markDirty();
}

bool AfterProcessBoxes::showTextTab() const
{
    return m_after->isChecked();
}

bool AfterProcessBoxes::selectWholeText() const
{
    return m_selectAll->isChecked();
}
