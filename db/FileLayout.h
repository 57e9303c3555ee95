// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

// One numbered step of the data file's layout: what brings a file from the layout before to
// `version`. Its statements may run on a file that has some or all of what they make (an
// unstamped file of an earlier release, a restored one), so they only add what is missing;
// `after` runs once they have (filling what the new tables hold for earlier rows).
struct LayoutStep
{
    int version;
    QStringList statements;
    void (*after)(sqlite3 *db, const QString &context) = nullptr;
};

// The layout of data.mdb as this release writes it: the numbered steps from the first release on,
// and the triggers and indexes the finished layout has. Its number is kept in the file
// (PRAGMA user_version, "the stamp"): 0 for a file of a release that kept none.
class FileLayout
{
public:
    // `steps` in ascending version; `ownObjects` the CREATE … IF NOT EXISTS statements of every
    // trigger and index of the finished layout.
    FileLayout(QList<LayoutStep> steps, QStringList ownObjects);

    int version() const { return m_steps.isEmpty() ? 0 : m_steps.last().version; }
    const QList<LayoutStep> &steps() const { return m_steps; }
    const QStringList &ownObjects() const { return m_ownObjects; }

    // The file's stamp: one read of its header.
    static int stampOf(sqlite3 *db, const QString &context);
    // Whether a file with this stamp needs the steps: older, or unstamped.
    bool isDue(int stamp) const { return stamp < version(); }

    // Inside the caller's transaction on `db`: runs the steps after the file's stamp (all of
    // them for an unstamped file, which is recognised by what its tables already have), keeps
    // only the program's own triggers, views and indexes, and stamps the file. A file stamped by
    // a newer release throws DataError (newerMessage) and is not touched.
    void bringUpToDate(sqlite3 *db, const QString &context) const;

    // Drops every trigger, view and index that is not one of ownObjects() (a restored backup may
    // bring its own, which would run on the user's writes), then makes ours afresh. Indexes of the
    // shipped food tables are the template's and stay.
    void keepOwnObjectsOnly(sqlite3 *db, const QString &context) const;

    // "“<file>”由较新版本的 Pellomir 写成（文件格式第 9 版）…第 8 版…"
    QString newerMessage(const QString &file, int stamp) const;

private:
    QList<LayoutStep> m_steps;
    QStringList m_ownObjects;
};
