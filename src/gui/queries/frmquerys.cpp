// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/queries/frmquerys.h"

#include "core/db/dialect.h"
#include "core/db/session.h"
#include "core/grids/adhocreport.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/preferences.h"
#include "gui/shell/toolkit.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {

// Sizes of the window, in twips.
constexpr int loadWidth = 7692;
constexpr int loadHeight = 5000;
constexpr int leastWidth = 5220;
constexpr int leastHeight = 3884;

// Line breaks of any kind, so a saved query's SQL and the same text shown in
// the box compare equal whichever breaks it was stored with.
QString withCrLf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

} // namespace

frmQuerys::frmQuerys(tw::DatabaseSession &session, Preferences &preferences, QWidget *parent)
    : QWidget(parent), m_session(session), m_preferences(preferences)
{
    setObjectName(QStringLiteral("frmQuerys"));
    setWindowTitle(tr("Queries"));

    for (QLabel *&label : lblSQL) {
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblSQL"));
    }
    lblSQL[0]->setText(tr("Saved Queries:"));
    lblSQL[1]->setText(tr("SQL Statement:"));
    lstQueryDefs = new QListWidget(this);
    lstQueryDefs->setObjectName(QStringLiteral("lstQueryDefs"));
    lblSQL[0]->setBuddy(lstQueryDefs);
    txtSQLStatement = new QPlainTextEdit(this);
    txtSQLStatement->setObjectName(QStringLiteral("txtSQLStatement"));
    txtSQLStatement->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtSQLStatement->setTabChangesFocus(true);
    lblSQL[1]->setBuddy(txtSQLStatement);

    Frame1 = new QGroupBox(tr("In your SQL statement:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblSQL[2]->setParent(Frame1);
    lblSQL[2]->setWordWrap(true);
    auto hint = new QVBoxLayout(Frame1);
    hint->addWidget(lblSQL[2]);

    auto makeButton = [this](const char *name, const QString &caption) {
        auto button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    cmdExecuteSQL = makeButton("cmdExecuteSQL", tr("&Execute"));
    cmdExecuteSQL->setEnabled(false);
    cmdSaveQueryDef = makeButton("cmdSaveQueryDef", tr("&Save"));
    cmdRemoveQuery = makeButton("cmdRemoveQuery", tr("&Remove"));
    cmdRefresh = makeButton("cmdRefresh", tr("Refresh &List"));
    cmdClose = makeButton("cmdClose", tr("&Close"));

    auto buttons = new QVBoxLayout;
    for (QPushButton *button : {cmdExecuteSQL, cmdSaveQueryDef, cmdRemoveQuery, cmdRefresh, cmdClose})
        buttons->addWidget(button);
    buttons->addStretch(1);

    auto layout = new QGridLayout(this);
    layout->addWidget(lblSQL[0], 0, 0);
    layout->addWidget(lstQueryDefs, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->addWidget(Frame1, 2, 0, 1, 2);
    layout->addWidget(lblSQL[1], 3, 0, 1, 2);
    layout->addWidget(txtSQLStatement, 4, 0, 1, 2);
    layout->setRowStretch(1, 2);
    layout->setRowStretch(4, 3);
    layout->setColumnStretch(0, 1);

    connect(txtSQLStatement, &QPlainTextEdit::textChanged, this,
            [this] { cmdExecuteSQL->setEnabled(!txtSQLStatement->toPlainText().isEmpty()); });
    // Picking an entry (a click, or the arrow keys) shows its SQL; the list
    // merely getting the focus picks nothing.
    connect(lstQueryDefs, &QListWidget::itemSelectionChanged, this, [this] {
        const QString name = selectedName();
        if (name.isEmpty())
            return;
        const tw::Result<tw::QueryDef> saved = m_session.database().queryDef(name);
        if (saved)
            txtSQLStatement->setPlainText(saved.value().sql());
    });
    connect(lstQueryDefs, &QListWidget::itemDoubleClicked, this, &frmQuerys::cmdExecuteSQL_Click);
    connect(cmdExecuteSQL, &QPushButton::clicked, this, &frmQuerys::cmdExecuteSQL_Click);
    connect(cmdSaveQueryDef, &QPushButton::clicked, this, &frmQuerys::cmdSaveQueryDef_Click);
    connect(cmdRemoveQuery, &QPushButton::clicked, this, &frmQuerys::cmdRemoveQuery_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmQuerys::cmdRefresh_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmQuerys::cmdClose_Click);
    // Another database became current while the window is shown: it shows
    // that one's queries.
    connect(&m_session, &tw::DatabaseSession::switched, this, [this] {
        if (isVisible())
            Form_Activate();
    });
}

frmQuerys::~frmQuerys() = default;

QString frmQuerys::captionText() const
{
    return tr("Queries - Current Database: ") + m_session.currentPath();
}

QString frmQuerys::sqlText() const
{
    return withCrLf(txtSQLStatement->toPlainText());
}

QString frmQuerys::selectedName() const
{
    const QListWidgetItem *item = lstQueryDefs->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void frmQuerys::Form_Load()
{
    QWidget *window = parentWidget();
    if (window && !window->isVisible()) {
        window->setMinimumSize(twipsToPixels(leastWidth), twipsToPixels(leastHeight));
        window->resize(twipsToPixels(loadWidth), twipsToPixels(loadHeight));
        const QWidget *area = window->parentWidget();
        const QSize frame = area ? area->size() : window->size();
        QPoint place((frame.width() - window->width()) / 2 - twipsToPixels(100),
                     (frame.height() - window->height()) / 2 - twipsToPixels(400));
        // Where the user left it last time, as long as it can still be seen.
        const QVariant left = m_preferences.setting(QStringLiteral("QueryLeft"));
        const QVariant top = m_preferences.setting(QStringLiteral("QueryTop"));
        if (left.isValid() && top.isValid())
            place = QPoint(twipsToPixels(left.toDouble()), twipsToPixels(top.toDouble()));
        place.setX(qBound(0, place.x(), qMax(0, frame.width() - window->width())));
        place.setY(qBound(0, place.y(), qMax(0, frame.height() - window->height())));
        window->move(place);
    }
    (void)m_session.reopenDefaultIfClosed();
    RefreshQuerys();
    lblSQL[2]->setText(tr("You can create a new table in the active Access database by using the INTO clause.")
                       + QStringLiteral("\r\n") + tr("Example: SELECT * INTO newTableName FROM aTableName;"));
}

void frmQuerys::Form_Activate()
{
    const QString caption = windowTitle();
    const qsizetype colon = caption.lastIndexOf(QLatin1String(": "));
    const QString previous = colon >= 0 ? caption.mid(colon + 2) : QString();
    const bool changed = !previous.isEmpty() && !tw::samePath(previous, m_session.currentPath());
    setWindowTitle(captionText());
    if (changed)
        RefreshQuerys();
    if (m_mode == Mode::Select)
        lstQueryDefs->setFocus();
    else
        txtSQLStatement->setFocus();
}

void frmQuerys::Form_Unload()
{
    const QWidget *window = parentWidget();
    if (!window || window->isMinimized())
        return;
    m_preferences.setSetting(QStringLiteral("QueryLeft"), qRound(pixelsToTwips(window->x())));
    m_preferences.setSetting(QStringLiteral("QueryTop"), qRound(pixelsToTwips(window->y())));
}

void frmQuerys::RefreshQuerys()
{
    lstQueryDefs->clear();
    if (m_mode != Mode::Select)
        return;
    const tw::Result<QStringList> names = m_session.database().queryNames();
    if (!names) {
        errors::report(names.error());
        return;
    }
    // Names beginning with "~" are the program's own (the report's).
    for (const QString &name : names.value())
        if (!name.startsWith(u'~'))
            lstQueryDefs->addItem(name);
}

bool frmQuerys::askParameters(tw::QueryDef &query)
{
    for (const tw::QueryParameter &parameter : query.parameters()) {
        const QString value = Toolkit::instance().inputBox(
            tr("Enter Value for Parameter '") + parameter.name + QStringLiteral("':"),
            QString::fromLatin1(applicationTitle), {});
        if (value.isEmpty())
            return false;
        (void)query.setParameter(parameter.name, value);
    }
    return true;
}

void frmQuerys::cmdExecuteSQL_Click()
{
    const QString sql = sqlText();
    if (sql.isEmpty())
        return;
    tw::Database &database = m_session.database();
    tw::QueryDef query({}, sql);
    const QString name = selectedName();
    if (!name.isEmpty()) {
        const tw::Result<tw::QueryDef> saved = database.queryDef(name);
        if (saved && withCrLf(saved.value().sql()) == sql) {
            query = saved.value();
            if (!askParameters(query))
                return;
        }
    }
    HourglassGuard hourglass;
    // Whether the statement gives rows is the engine's answer, not a guess
    // from its first word: a SELECT after a blank, WITH, VALUES or a pragma
    // open their rows; SELECT ... INTO makes its table.
    const tw::Result<tw::QueryDescription> described = database.describe(query);
    if (!described) {
        hourglass.release();
        errors::report(described.error());
        return;
    }
    if (described.value().returnsRows()) {
        // A temporary query asks no parameters: one left without a value is
        // the engine's "too few parameters".
        const tw::BoundSql bound = tw::bindNamedParameters(tw::translateUserSql(query.sql()), query.parameterValues());
        if (!bound.missing.isEmpty()) {
            hourglass.release();
            errors::report(tw::DbError::make(tw::ErrorNumber::TooFewParameters, QString::number(bound.missing.size())));
            return;
        }
        const QString caption = tr("Query - ") + (query.isTemporary() ? tw::reportTitleText(sql) : query.name());
        Q_EMIT rowsRequested(query, caption);
        return;
    }
    const tw::Result<tw::QueryOutcome> outcome = database.run(query);
    hourglass.release();
    if (!outcome) {
        errors::report(outcome.error());
        return;
    }
    // A SELECT ... INTO, a CREATE or a DROP changes the tables listed elsewhere.
    m_session.notifyTablesChanged();
    Q_EMIT statusMessage(tr("%n row(s) changed.", nullptr, int(qMin<qint64>(outcome.value().rowsAffected, std::numeric_limits<int>::max()))));
}

void frmQuerys::cmdSaveQueryDef_Click()
{
    Toolkit &toolkit = Toolkit::instance();
    tw::Database &database = m_session.database();
    const QString selected = selectedName();
    if (!selected.isEmpty()) {
        const int answer =
            toolkit.message(tr("Update '") + selected + QStringLiteral("'?"), Buttons::YesNo, Icon::Question);
        if (answer == Answer::Yes) {
            tw::Result<tw::QueryDef> saved = database.queryDef(selected);
            tw::DbError error = saved.error();
            if (saved) {
                saved.value().setSql(sqlText());
                error = database.updateQueryDef(saved.value());
            }
            if (error.isError())
                errors::report(error);
            return;
        }
    }
    const QString name =
        toolkit.inputBox(tr("Enter New Query Name:"), QString::fromLatin1(applicationTitle), {});
    if (name.isEmpty())
        return;
    tw::Result<tw::QueryDef> created = database.createQueryDef(name, {});
    if (!created) {
        // A name taken would otherwise pass in silence, and the query the
        // user typed would not be kept.
        if (created.error().number == tw::ErrorNumber::ObjectExists)
            toolkit.message(tr("There is already a saved query named '%1'. Select it in the list and Save to update "
                               "it, or save under another name.")
                                .arg(name),
                            Buttons::Ok, Icon::Information);
        else
            errors::report(created.error());
        return;
    }
    tw::QueryDef query = created.value();
    const int passThrough = toolkit.message(tr("Is this a SQLPassThrough QueryDef?"), Buttons::YesNo, Icon::Question,
                                            {}, Answer::No);
    if (passThrough == Answer::Yes) {
        const QString connect = toolkit.inputBox(tr("Enter Connect property value:"),
                                                 QString::fromLatin1(applicationTitle), {});
        if (!connect.isEmpty()) {
            query.setConnect(connect);
            if (toolkit.message(tr("Is the Query Row Returning?"), Buttons::YesNo, Icon::Question) == Answer::No)
                query.setReturnsRecords(false);
        }
    }
    query.setSql(sqlText());
    if (const tw::DbError error = database.updateQueryDef(query); error.isError())
        errors::report(error);
    RefreshQuerys();
}

void frmQuerys::cmdRemoveQuery_Click()
{
    Toolkit &toolkit = Toolkit::instance();
    const QString selected = selectedName();
    if (selected.isEmpty()) {
        if (lstQueryDefs->count() > 0)
            toolkit.message(tr("Please select a query from the list box and hit Remove again."));
        return;
    }
    const int answer = toolkit.message(tr("Delete this query: ") + selected + u'?', Buttons::YesNo, Icon::Question,
                                       tr("Tabwright - Be careful"), Answer::No);
    if (answer != Answer::Yes)
        return;
    const int place = lstQueryDefs->currentRow();
    if (const tw::DbError error = m_session.database().deleteQueryDef(selected); error.isError())
        errors::report(error);
    RefreshQuerys();
    if (lstQueryDefs->count() > 0)
        lstQueryDefs->setCurrentRow(qMin(place, lstQueryDefs->count() - 1));
}

void frmQuerys::cmdRefresh_Click()
{
    RefreshQuerys();
}

void frmQuerys::cmdClose_Click()
{
    Q_EMIT closeRequested();
}

void frmQuerys::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
