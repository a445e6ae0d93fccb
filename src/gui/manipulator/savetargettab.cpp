// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/savetargettab.h"

#include "core/columns/tablelist.h"
#include "core/db/session.h"
#include "gui/database/databasechooser.h"
#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/preferences.h"
#include "gui/shell/toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// Runs an action when a widget receives the focus.
class FocusHook : public QObject
{
public:
    FocusHook(QWidget *widget, std::function<void()> action) : QObject(widget), m_action(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            m_action();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};
} // namespace

namespace {
const QString trimKey = QStringLiteral("TrimSpacesFromValues");
}

SaveTargetTab::SaveTargetTab(ProcessingFrame &window, tw::DatabaseSession &session, SettingsDirty &dirty,
                             Preferences &preferences)
    : QObject(&window), m_window(window), m_session(session), m_dirty(dirty), m_preferences(preferences)
{
    QWidget *page = window.page(ProcessingFrame::SaveToDatabase);
    Frame1 = new QGroupBox(tr("Save Options"), page);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto makeOption = [this](const char *name, const QString &caption) {
        auto option = new QRadioButton(caption, Frame1);
        option->setObjectName(QString::fromLatin1(name));
        return option;
    };
    Option1 = makeOption("Option1", tr("Tabwright will create table in tabwright.mdb, from info on Tabwrite Text tab"));
    Option2 = makeOption("Option2", tr("I will specify Access database, Tabwright will create table"));
    Option3 = makeOption("Option3", tr("I will specify Access database and table"));
    Option1->setChecked(true);
    Command11 = new QPushButton(tr("&Select Database"), Frame1);
    Command11->setObjectName(QStringLiteral("Command11"));
    Command11->setEnabled(false);
    auto options = new QVBoxLayout(Frame1);
    for (QWidget *w : {static_cast<QWidget *>(Option1), static_cast<QWidget *>(Option2),
                       static_cast<QWidget *>(Option3), static_cast<QWidget *>(Command11)})
        options->addWidget(w);

    Label43 = new QLabel(tr("Enter/Select table name:"), page);
    Label43->setObjectName(QStringLiteral("Label43"));
    Combo17 = new QComboBox(page);
    Combo17->setObjectName(QStringLiteral("Combo17"));
    Combo17->setEditable(true);
    Combo17->setInsertPolicy(QComboBox::NoInsert);
    Label44 = new QLabel(tr("Process method:"), page);
    Label44->setObjectName(QStringLiteral("Label44"));
    Combo18 = new QComboBox(page);
    Combo18->setObjectName(QStringLiteral("Combo18"));
    Combo18->setEditable(true);
    Combo18->setInsertPolicy(QComboBox::NoInsert);
    Combo18->addItems({tw::parseMethodText(), tw::columnSpecsMethodText()});
    Label45 = new QLabel(tr("Enter delimiter:"), page);
    Label45->setObjectName(QStringLiteral("Label45"));
    Text10 = new QLineEdit(page);
    Text10->setObjectName(QStringLiteral("Text10"));
    Text10->setToolTip(tr("Spaces may be used as a delimiter."));
    CheckTrim = new QCheckBox(tr("Trim spaces from values"), page);
    CheckTrim->setObjectName(QStringLiteral("CheckTrim"));
    CheckTrim->setToolTip(tr("Leave out the spaces and tabs before and after each value, such as the padding "
                             "of fixed-width columns."));
    CheckTrim->setChecked(m_preferences.setting(trimKey, false).toBool());
    Command10 = new QPushButton(tr("&Save"), page);
    Command10->setObjectName(QStringLiteral("Command10"));

    auto fields = new QGridLayout;
    fields->addWidget(Label43, 0, 0);
    fields->addWidget(Combo17, 0, 1);
    fields->addWidget(Label44, 1, 0);
    fields->addWidget(Combo18, 1, 1);
    fields->addWidget(Label45, 2, 0);
    fields->addWidget(Text10, 2, 1);
    fields->addWidget(CheckTrim, 3, 1);
    fields->addWidget(Command10, 4, 1, Qt::AlignLeft);
    auto layout = qobject_cast<QVBoxLayout *>(page->layout());
    layout->insertWidget(0, Frame1);
    layout->insertLayout(1, fields);
    layout->addStretch();

    connect(Option1, &QRadioButton::clicked, this, &SaveTargetTab::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &SaveTargetTab::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &SaveTargetTab::Option3_Click);
    connect(Command11, &QPushButton::clicked, this, &SaveTargetTab::Command11_Click);
    connect(Combo18, &QComboBox::currentTextChanged, this, &SaveTargetTab::Combo18_Change);
    // The delimiter is kept in named settings too.
    connect(Text10, &QLineEdit::textChanged, this, [this] { m_dirty.markDirty(); });
    connect(CheckTrim, &QCheckBox::toggled, this,
            [this](bool trim) { m_preferences.setSetting(trimKey, trim); });
    connect(Command10, &QPushButton::clicked, this, &SaveTargetTab::Command10_Click);
    new FocusHook(Option1, [this] { Command11->setEnabled(false); });
    new FocusHook(Combo18, [this] { applyMethodRule(); });
    applyMethodRule();
    connect(&m_session, &tw::DatabaseSession::switched, this, &SaveTargetTab::databaseSwitched);
    connect(&m_session, &tw::DatabaseSession::tablesChanged, this, &SaveTargetTab::refreshDbaseTableList);
}

void SaveTargetTab::databaseSwitched()
{
    // A database the user opened offers its tables at once; going back to
    // the default one while this tab is shown is going back to its option.
    if (m_session.isExternal()) {
        fillTableList();
    } else if (m_window.currentTab() == ProcessingFrame::SaveToDatabase && Frame1->isVisible()) {
        Option1->setChecked(true);
        Command11->setEnabled(false);
        refreshDbaseTableList();
    }
}

void SaveTargetTab::listTables(const QStringList &names)
{
    for (const QString &name : names)
        if (tw::isListedTable(name))
            Combo17->addItem(name);
}

bool SaveTargetTab::selectListEntry(QComboBox *box, const QString &text)
{
    box->setEditText(QString());
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries << box->itemText(i);
    const int index = tw::listEntryIndex(entries, text);
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    box->setEditText(text);
    return true;
}

void SaveTargetTab::fillTableList()
{
    Combo17->clear();
    const tw::Result<QStringList> tables = m_session.database().tableNames();
    if (!tables) {
        errors::report(tables.error());
        return;
    }
    listTables(tables.value());
    Combo17->setEditText(QString());
}

void SaveTargetTab::refreshDbaseTableList()
{
    const QString kept = Combo17->currentText();
    Combo17->clear();
    Combo17->setEditText(QString());
    if (!m_session.database().isOpen()) {
        if (m_window.currentTab() == ProcessingFrame::SaveToDatabase) {
            Option1_Click();
            return;
        }
        if (const tw::DbError error = m_session.openDefault(); error.isError()) {
            errors::report(error);
            return;
        }
    }
    const tw::Result<QStringList> tables = m_session.database().tableNames();
    if (!tables) {
        errors::report(tables.error());
        return;
    }
    listTables(tables.value());
    if (Combo17->count() > 0)
        selectListEntry(Combo17, kept);
    else
        Combo17->setEditText(QString());
}

void SaveTargetTab::showTab()
{
    m_rememberedTable = Combo17->currentText();
    refreshDbaseTableList();
    if (Combo17->count() > 0)
        selectListEntry(Combo17, m_rememberedTable);
    else
        Combo17->setEditText(QString());
}

bool SaveTargetTab::targetsDefaultDatabase() const
{
    return Option1->isChecked();
}

void SaveTargetTab::Option1_Click()
{
    tw::DbError error;
    if (!m_session.leaveExternal(&error)) {
        Option2_Click();
        return;
    }
    Option1->setChecked(true);
    Command11->setEnabled(false);
    // The default database already open stays open: reopening it would only
    // pull the rows from under the table window.
    if (!error.isError())
        error = m_session.reopenDefaultIfClosed();
    if (error.isError()) {
        errors::report(error);
        return;
    }
    refreshDbaseTableList();
}

void SaveTargetTab::chooseExternalOption(QRadioButton *option)
{
    option->setChecked(true);
    // The default database's tables are no target for these options.
    if (!m_session.isExternal()) {
        Combo17->clear();
        Combo17->setEditText(QString());
    }
    Command11->setEnabled(true);
}

void SaveTargetTab::Option2_Click()
{
    chooseExternalOption(Option2);
}

void SaveTargetTab::Option3_Click()
{
    chooseExternalOption(Option3);
}

void SaveTargetTab::Command11_Click()
{
    const QString picked = Toolkit::instance().fileDialog(databases::databaseDialogRequest());
    if (picked.isEmpty())
        return;
    databases::openWithPassword(m_session, picked, Frame1->window());
}

void SaveTargetTab::applyMethodRule()
{
    const bool delimiter = tw::methodTakesDelimiter(Combo18->currentText());
    Text10->setEnabled(delimiter);
    Label45->setEnabled(delimiter);
}

void SaveTargetTab::Combo18_Change()
{
    applyMethodRule();
    m_dirty.markDirty();
}
