// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFont;
#include <functional>

class QPainter;
class QPrinter;
class QWidget;

// Every dialog the program shows goes through this layer, so the windows never
// talk to QMessageBox or QFileDialog themselves and tests can answer them from
// a script. Answers keep the classic numbers the windows compare with.
namespace Answer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
// Callers use 3 to mean that no question was asked.
inline constexpr int NotAsked = 3;
} // namespace Answer

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question };

// Title used when a message gives none.
inline constexpr auto applicationTitle = "Tabwright";

struct MessagePrompt
{
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 0; // 0: the toolkit's own default, the first button
};

struct FileDialogRequest
{
    QString title;
    // Pairs of description and pattern separated by vertical bars, as in
    // "Text files (*.txt)|*.txt|All files (*.*)|*.*".
    QString filter;
    QString fileName;
    bool save = false;
    bool fileMustExist = true;
    bool askBeforeOverwrite = true;
};

class Toolkit
{
public:
    virtual ~Toolkit() = default;

    // Modal; returns the button pressed (Answer::Ok, Cancel, Yes or No).
    virtual int messageBox(const MessagePrompt &prompt) = 0;
    // Modal; returns the typed text, "" on Cancel.
    virtual QString inputBox(const QString &prompt, const QString &title,
                             const QString &defaultAnswer) = 0;
    // Returns the chosen path, "" on Cancel. Like the classic dialogs it leaves
    // the process's current folder at the chosen file's folder.
    virtual QString fileDialog(const FileDialogRequest &request) = 0;
    // Returns false when the user cancelled.
    virtual bool printerDialog(QPrinter &printer, const QString &title) = 0;
    // Offers a choice of font starting from font; false when the user
    // cancelled (font is then unchanged).
    virtual bool fontDialog(QFont &font, const QString &title) = 0;
    // One print job on the printer the dialog set up: a painter is begun on
    // it, `draw` paints the pages, and the job ends. False when the printer
    // could not be started (nothing was drawn).
    virtual bool printJob(QPrinter &printer, const std::function<void(QPainter &)> &draw);
    // Ends the program at once, without asking any window.
    virtual void endProgram(int exitCode) = 0;

    // Shorthand for the common forms.
    int message(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                const QString &title = {}, int defaultButton = 0);

    // The toolkit every window uses. The program installs the Qt one at start;
    // tests install a scripted one.
    static Toolkit &instance();
    static void install(Toolkit *toolkit);
};

// The hourglass pointer for as long as the guard lives, so every way out of a
// long command, early returns included, restores the normal pointer.
class HourglassGuard
{
public:
    HourglassGuard();
    ~HourglassGuard();
    HourglassGuard(const HourglassGuard &) = delete;
    HourglassGuard &operator=(const HourglassGuard &) = delete;
    // Restore the normal pointer before the guard ends (a message is shown).
    void release();

private:
    bool m_active = true;
};

// Window placement formulas are given in twips (1/1440 inch).
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);
