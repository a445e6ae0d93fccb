// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/settingstab.h"

#include "core/db/session.h"
#include "core/settings/settingsstore.h"
#include "gui/manipulator/fieldcontrols.h"
#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace tw::settings;

SettingsTab::SettingsTab(ProcessingFrame &window, tw::DatabaseSession &session, SettingsDirty &dirty,
                         FieldControls &fields)
    : QObject(&window), m_session(session), m_dirty(dirty), m_fields(fields)
{
    QWidget *page = window.page(ProcessingFrame::Settings);
    Label42 = new QLabel(tr("Enter/Select name of settings:"), page);
    Label42->setObjectName(QStringLiteral("Label42"));
    Combo16 = new QComboBox(page);
    Combo16->setObjectName(QStringLiteral("Combo16"));
    Combo16->setEditable(true);
    // A typed name becomes a list entry only once it is saved.
    Combo16->setInsertPolicy(QComboBox::NoInsert);
    Label42->setBuddy(Combo16);
    auto button = [page](const char *name, const QString &caption) {
        auto made = new QPushButton(caption, page);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };
    Command8 = button("Command8", tr("&Save Settings"));
    Command9 = button("Command9", tr("S&elect Settings"));
    Command16 = button("Command16", tr("&Delete Settings"));

    auto grid = new QGridLayout;
    grid->addWidget(Label42, 0, 0);
    grid->addWidget(Combo16, 0, 1);
    grid->setColumnStretch(1, 1);
    auto buttons = new QHBoxLayout;
    for (QPushButton *b : {Command8, Command9, Command16})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1);
    auto layout = qobject_cast<QVBoxLayout *>(page->layout());
    layout->insertLayout(0, grid);
    layout->addStretch();

    connect(Command8, &QPushButton::clicked, this, &SettingsTab::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &SettingsTab::Command9_Click);
    connect(Command16, &QPushButton::clicked, this, &SettingsTab::Command16_Click);
}

void SettingsTab::setCurrent(const QString &storedName)
{
    m_current = storedName;
    Q_EMIT currentSettingsChanged(storedName);
}

void SettingsTab::refreshNameOfSettingsList()
{
    const QString kept = Combo16->currentText();
    Combo16->clear();
    // A database without settings (another one is current) lists none.
    const tw::Result<QStringList> names = settingsNames(m_session.database());
    if (names)
        Combo16->addItems(names.value());
    Combo16->setCurrentIndex(-1);
    Combo16->setEditText(kept);
}

void SettingsTab::reselect(const QString &name)
{
    refreshNameOfSettingsList();
    Combo16->setEditText(QString());
    for (int i = 0; i < Combo16->count(); ++i) {
        if (Combo16->itemText(i).compare(name, Qt::CaseInsensitive) == 0) {
            Combo16->setCurrentIndex(i);
            Combo16->setEditText(Combo16->itemText(i));
            return;
        }
    }
}

void SettingsTab::showTab()
{
    reselect(Combo16->currentText());
    Command8->setEnabled(m_dirty.isDirty());
    const bool any = Combo16->count() > 0;
    Command9->setEnabled(any);
    Command16->setEnabled(any);
    if (!m_session.isExternal())
        Combo16->setFocus();
}

void SettingsTab::Command8_Click()
{
    Toolkit &toolkit = Toolkit::instance();
    const QString name = Combo16->currentText();
    if (name.isEmpty()) {
        toolkit.message(tr("Please specify a name for the current Settings."));
        Combo16->setFocus();
        return;
    }
    // A name the store cannot take is refused before anything is written.
    if (const QString refusal = nameRefusal(name); !refusal.isEmpty()) {
        toolkit.message(refusal);
        Combo16->setFocus();
        return;
    }
    const tw::Result<std::optional<StoredSettings>> found = findSettings(m_session.database(), name);
    if (!found) {
        errors::report(found.error());
        return;
    }
    if (found.value()
        && toolkit.message(tr("This name (%1) for the settings is already on file.  Would you like to overwrite "
                              "the current settings?").arg(name),
                           Buttons::OkCancel, Icon::Information, tr("Tabwright - It's your choice..."),
                           Answer::Cancel)
               == Answer::Cancel)
        return;
    // The record and its copy of the column layout are stored together, or
    // nothing is.
    if (const tw::DbError error = saveSettings(m_session.database(), name, m_fields.read(), ColumnsFrom::Layout);
        error.isError()) {
        errors::report(error);
        return;
    }
    Command9->setEnabled(true);
    Command16->setEnabled(true);
    setCurrent(storedName(name));
    reselect(name);
    Command8->setEnabled(false);
    m_dirty.clear();
}

void SettingsTab::Command9_Click()
{
    const QString name = Combo16->currentText();
    if (name.isEmpty()) {
        Toolkit::instance().message(tr("Please specify the name of the Settings to select."));
        Combo16->setFocus();
        return;
    }
    const tw::Result<std::optional<StoredSettings>> found = findSettings(m_session.database(), name);
    if (!found) {
        errors::report(found.error());
        return;
    }
    if (!found.value())
        return;
    m_dirty.setLoading(true);
    m_fields.load(found.value()->record);
    m_dirty.setLoading(false);
    const tw::DbError error = loadColumnLayout(m_session.database(), name);
    setCurrent(found.value()->storedName);
    Q_EMIT columnLayoutReplaced();
    if (error.isError())
        errors::report(error);
    Command8->setEnabled(false);
    m_dirty.clear();
}

void SettingsTab::Command16_Click()
{
    Toolkit &toolkit = Toolkit::instance();
    const QString name = Combo16->currentText();
    if (name.isEmpty()) {
        toolkit.message(tr("Please select Settings to delete."));
        return;
    }
    if (toolkit.message(tr("Delete these Settings: %1?").arg(name), Buttons::YesNo, Icon::Question,
                        tr("Tabwright - Be careful"), Answer::No)
        == Answer::Yes) {
        const tw::Result<bool> deleted = deleteSettings(m_session.database(), name);
        // Another database is current: it keeps no settings, and nothing of
        // it is touched.
        if (!deleted && deleted.error().number != tw::ErrorNumber::InputTableNotFound)
            errors::report(deleted.error());
        // Only the settings the fields came from leaves them unsaved.
        if (deleted.valueOr(false) && m_current.compare(storedName(name), Qt::CaseInsensitive) == 0) {
            setCurrent(QStringLiteral("Settings: NOT SAVED"));
            m_dirty.markDirty();
        }
        reselect(Combo16->currentText());
    }
    showTab();
}
