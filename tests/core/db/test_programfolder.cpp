// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps its own files: beside itself in a build; in the
// user's data folder when installed, copied there from the installed share
// folder without ever replacing the user's own.
#include "core/db/defaultdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildKeepsItsFilesBesideTheProgram();
    void installedCopiesWhatIsMissingIntoTheUserFolder();
    void neitherLeavesTheProgramFolder();

private:
    static void write(const QString &path, const QByteArray &bytes);
    static QByteArray read(const QString &path);
};

void TestProgramFolder::write(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestProgramFolder::read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestProgramFolder::buildKeepsItsFilesBesideTheProgram()
{
    QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("build/bin/Tabwright.MDB")), "db");
    write(dir.filePath(QStringLiteral("build/share/tabwright/tabwright.mdb")), "shipped");
    const QString bin = dir.filePath(QStringLiteral("build/bin"));
    QCOMPARE(tw::resolveProgramFolder(bin, dir.filePath(QStringLiteral("user"))), bin);
    QVERIFY(!QDir(dir.filePath(QStringLiteral("user"))).exists());
}

void TestProgramFolder::installedCopiesWhatIsMissingIntoTheUserFolder()
{
    QTemporaryDir dir;
    write(dir.filePath(QStringLiteral("usr/share/tabwright/tabwright.mdb")), "shipped db");
    write(dir.filePath(QStringLiteral("usr/share/tabwright/tips.html")), "shipped tips");
    const QString bin = dir.filePath(QStringLiteral("usr/bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString user = dir.filePath(QStringLiteral("home/.local/share/Tabwright/Tabwright"));

    QCOMPARE(tw::resolveProgramFolder(bin, user), QDir(user).absolutePath());
    QCOMPARE(read(user + QStringLiteral("/tabwright.mdb")), QByteArray("shipped db"));
    QCOMPARE(read(user + QStringLiteral("/tips.html")), QByteArray("shipped tips"));
    QVERIFY(QFileInfo(user + QStringLiteral("/tabwright.mdb")).isWritable());

    // The user's database, with their tables in it, is never replaced; a
    // file the user lost comes back.
    write(user + QStringLiteral("/tabwright.mdb"), "the user's tables");
    QVERIFY(QFile::remove(user + QStringLiteral("/tips.html")));
    QCOMPARE(tw::resolveProgramFolder(bin, user), QDir(user).absolutePath());
    QCOMPARE(read(user + QStringLiteral("/tabwright.mdb")), QByteArray("the user's tables"));
    QCOMPARE(read(user + QStringLiteral("/tips.html")), QByteArray("shipped tips"));
}

void TestProgramFolder::neitherLeavesTheProgramFolder()
{
    // Start-up then asks the user where the database is.
    QTemporaryDir dir;
    QCOMPARE(tw::resolveProgramFolder(dir.path(), dir.filePath(QStringLiteral("user"))), dir.path());
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "test_programfolder.moc"
