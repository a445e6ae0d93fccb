// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Whether a run (a Process button, a save into a table) is going on. A run
// lets window events through while it works, so the commands that would swap
// the text or the database from under it look here and wait. Long commands
// outside the Manipulator (a table copy) report their progress here too, and
// the Manipulator's progress bar shows it; what they did is announced here for
// the status bar.
class BusyState : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool isBusy() const { return m_busy; }
    void setBusy(bool busy)
    {
        if (m_busy == busy)
            return;
        m_busy = busy;
        Q_EMIT busyChanged(busy);
    }

    void reportProgress(qint64 done, qint64 total) { Q_EMIT progress(done, total); }
    void endProgress() { Q_EMIT progressEnded(); }
    // What a long command did, for the status bar ("318 records written to
    // services").
    void announce(const QString &news) { Q_EMIT announced(news); }

Q_SIGNALS:
    void busyChanged(bool busy);
    void progress(qint64 done, qint64 total);
    void progressEnded();
    void announced(const QString &news);

private:
    bool m_busy = false;
};
