// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/sqlitestore.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace zarvo::test {

// A temporary directory that holds a fresh store and whatever files a test writes. Everything
// is removed when the sandbox goes.
class Sandbox
{
public:
    Sandbox();

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString dir() const { return m_dir.path(); }
    QString storePath() const { return path(QStringLiteral("data.mdb")); }

    // Creates data.mdb (empty, like `zarvoctl init`) and opens it.
    SqliteStore& store();
    void closeStore() { m_store.reset(); }

    // Writes a file of the sandbox and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SqliteStore> m_store;
};

} // namespace zarvo::test
