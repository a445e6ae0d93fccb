// SPDX-License-Identifier: GPL-3.0-or-later
// File > Print of the working text, the Help menu's pages and contact page,
// and the About window.
#include "frameharness.h"
#include "support/pdftext.h"

#include "gui/documents/textprinter.h"
#include "gui/shell/form2.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// Receives what the program hands the desktop to open.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

class TestPrintHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void printedLines_data();
    void printedLines();
    void printsEachCopyAsAJob();
    void printCancelledPrintsNothing();
    void helpPagesAndContact_data();
    void helpPagesAndContact();
    void aboutClosesWithEscape();
    void contactLinkLightsUpWellInside();

private:
    std::unique_ptr<FrameHarness> m_harness;
    OpenedUrls m_opened;
};

void TestPrintHelp::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    for (const char *scheme : {"file", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_opened, "open");
}

void TestPrintHelp::cleanupTestCase()
{
    for (const char *scheme : {"file", "https"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void TestPrintHelp::init()
{
    m_opened.urls.clear();
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestPrintHelp::cleanup()
{
    m_harness.reset();
}

void TestPrintHelp::printedLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF between lines") << "a  b\r\nc" << 10 << QStringList{"a  b", "c"};
    QTest::newRow("a long line goes on below") << "abcdefg" << 3 << QStringList{"abc", "def", "g"};
    QTest::newRow("tabs stop every eight") << "a\tb\r\n\tc" << 20 << QStringList{"a       b", "        c"};
    QTest::newRow("lone line feed") << "x\ny" << 5 << QStringList{"x", "y"};
    QTest::newRow("a character beyond the BMP is one column")
        << QString::fromUtf8("\xF0\x9F\x98\x80xy") << 2 << QStringList{QString::fromUtf8("\xF0\x9F\x98\x80x"), "y"};
}

void TestPrintHelp::printedLines()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QStringList, lines);
    QCOMPARE(TextPrinter::printedLines(text, columns), lines);
}

void TestPrintHelp::printsEachCopyAsAJob()
{
    const QString text = QStringLiteral("Id     Name      Amount\r\n0001   Baker        10.50\r\n0002   Zebra       200.00");
    m_harness->userSetsText(text);
    m_harness->openMenu(QStringLiteral("menuFile"));
    QVERIFY(m_harness->action(QStringLiteral("menuFilePrint"))->isEnabled());
    QVERIFY(!m_harness->action(QStringLiteral("menuFilePrinterSetup"))->isVisible());
    m_harness->toolkit().answerPrinter(m_harness->path(QStringLiteral("text.pdf")), 3);
    m_harness->action(QStringLiteral("menuFilePrint"))->trigger();
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwrite - Printer Setup"));
    const QList<ScriptedToolkit::PrintJob> &jobs = m_harness->toolkit().printJobs();
    QCOMPARE(jobs.size(), 3);
    for (const ScriptedToolkit::PrintJob &job : jobs) {
        // A fixed-width font keeps the columns where the blanks put them.
        const QStringList printed = pdfText(job.pdf).split(u'\n');
        QVERIFY2(printed.size() >= 3, qPrintable(printed.join(u'\n')));
        QCOMPARE(printed[1].indexOf(QStringLiteral("Baker")), printed[0].indexOf(QStringLiteral("Name")));
        QCOMPARE(printed[2].indexOf(QStringLiteral("200.00")), printed[1].indexOf(QStringLiteral(" 10.50")));
    }
}

void TestPrintHelp::printCancelledPrintsNothing()
{
    m_harness->userSetsText(QStringLiteral("some text"));
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->toolkit().answerPrinter(false);
    m_harness->action(QStringLiteral("menuFilePrint"))->trigger();
    QVERIFY(m_harness->toolkit().printJobs().isEmpty());
}

void TestPrintHelp::helpPagesAndContact_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("opened");
    QTest::newRow("Tips") << "menuHelpTips" << "QnA.html";
    QTest::newRow("Sample 1") << "menuHelpSample1" << "_sample1.html";
    QTest::newRow("Sample 2") << "menuHelpSample2" << "_sample2.html";
    QTest::newRow("Contact Us") << "menuHelpContact" << "/store/index.php?route=information/contact";
}

void TestPrintHelp::helpPagesAndContact()
{
    QFETCH(QString, entry);
    QFETCH(QString, opened);
    // The pages are not in the test's program folder: the viewer would say
    // so; the program says nothing.
    m_harness->action(entry)->trigger();
    QCOMPARE(m_opened.urls.size(), 1);
    const QUrl url = m_opened.urls.first();
    if (url.isLocalFile())
        QCOMPARE(url.toLocalFile(), m_harness->path(opened));
    else
        QVERIFY2(url.toString().startsWith(QStringLiteral("https://")) && url.toString().endsWith(opened),
                 qPrintable(url.toString()));
    QVERIFY(m_harness->toolkit().prompts().isEmpty());
}

void TestPrintHelp::aboutClosesWithEscape()
{
    QString title;
    QString version;
    bool closedByEscape = false;
    QTimer::singleShot(0, this, [&] {
        Form2 *about = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto found = qobject_cast<Form2 *>(widget); found && found->isVisible())
                about = found;
        if (!about)
            return;
        title = about->windowTitle();
        version = about->Label6->text();
        // The offscreen platform leaves the frame the active window; a desktop
        // makes the dialog it shows modally the active one.
        QApplication::setActiveWindow(about);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(about, &escape);
        // Escape presses OK.
        closedByEscape = !about->isVisible() && about->result() == QDialog::Accepted;
        if (!closedByEscape)
            about->reject();
    });
    m_harness->action(QStringLiteral("menuAbout"))->trigger();
    QCOMPARE(title, QStringLiteral("About Tabwright"));
    QVERIFY(version.startsWith(QStringLiteral("Version ")));
    QVERIFY(closedByEscape);
}

void TestPrintHelp::contactLinkLightsUpWellInside()
{
    Form2 about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QLabel *link = about.Label3;
    const auto colour = [link] { return link->palette().color(QPalette::WindowText); };
    const auto moveTo = [link](const QPoint &at) {
        QMouseEvent move(QEvent::MouseMove, at, link->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(link, &move);
    };
    QCOMPARE(colour(), QColor(0x00, 0x80, 0x80));
    moveTo(link->rect().center());
    QCOMPARE(colour(), QColor(0x00, 0x00, 0xff));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    // Near its edge it is back to teal and the normal pointer.
    moveTo(QPoint(1, link->height() / 2));
    QCOMPARE(colour(), QColor(0x00, 0x80, 0x80));
    QCOMPARE(link->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(m_opened.urls.size(), 0); // the About window alone opens nothing
    QSignalSpy clicked(&about, &Form2::contactRequested);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(clicked.size(), 1);
}

QTEST_MAIN(TestPrintHelp)
#include "test_printhelp.moc"
