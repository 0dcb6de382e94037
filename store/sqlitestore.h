// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"

#include <QSet>

#include <SQLiteCpp/Database.h>

#include <memory>
#include <optional>
#include <vector>

namespace zarvo {

class StoreLock;

// The store file `data.mdb`: an SQLite 3 file holding the tree table `blob` (`Name`
// varchar(20), `Blob` OLEObject) and one table per folder (`Name` varchar(20), `Come`
// varchar(150), `Blob` OLEObject), rows in rowid order. Table names are quoted identifiers and
// picture names bound parameters, so nothing a user types changes what a statement does.
// Picture-name equality ignores the case of A-Z only (COLLATE NOCASE). Picture bytes are always
// bound as BLOBs. One program at a time holds the file (StoreLock).
//
// Every folder table has an index on `Name` COLLATE NOCASE and `Come`, so that looking up a name
// or listing the names and kinds reads only index pages: with 64 KiB pages a row keeps up to
// 64 KiB of its picture on its table page, and a folder of 10,000 photos has as many table pages.
// New tables get the index when they are made; tables of older stores get it on their first name
// lookup or reading of their rows outside a transaction, in place of the index on `Name` alone
// that earlier versions made. Nothing depends on the index being there: when it cannot be made
// (the file cannot be written, another program holds it), the same statements read the table.
// Index names are free names "Name index N", never derived from the table, so a renamed table
// keeps a valid index and a new table under an old name gets its own.
//
// The fingerprint table keeps in step within a savepoint of its own, nested in the caller's
// transaction when one is open. The tree has no versions: one program holds the file.
//
// Errors of the engine arrive as SQLite::Exception (a std::runtime_error).
class SqliteStore final : public Store
{
public:
    struct Opened
    {
        std::unique_ptr<SqliteStore> store;
        OpenError error = OpenError::None;
        QString detail;
    };

    // Opens an existing store read-write; never creates a file. Takes the store lock (or uses
    // `lock` when the caller already holds it) and probes the file with a read.
    static Opened open(const QString& path, std::shared_ptr<StoreLock> lock = nullptr);

    // Creates a new, empty store at path (64 KiB pages, no tables). Fails when a file exists.
    static bool create(const QString& path, QString* error = nullptr);

    ~SqliteStore() override;

    const QString& path() const { return m_path; }
    QString name() const override { return m_path; }
    std::shared_ptr<StoreLock> lock() const override { return m_lock; }
    // The SQLite connection itself, for the tests and benchmarks of the engine.
    SQLite::Database& database() { return *m_db; }

    QStringList tableNames() override;
    bool TableExists(const QString& name) override;
    QString existingTableName(const QString& name) override;
    bool CreateFolderTable(const QString& name) override;
    void createTreeTable() override;
    void dropTable(const QString& name) override;
    void renameTable(const QString& from, const QString& to) override;
    void copyFolderRows(const QString& to, const QString& from) override;

    int deletePicture(const QString& folder, const QString& name) override;
    int renamePicture(
        const QString& folder, const QString& newName, const QString& oldName) override;
    int pastePicture(const QString& target, const QString& newName, const QString& source,
        const QString& name) override;

    QList<PictureRow> pictureRows(const QString& folder) override;
    QList<PictureRow> pictureRows(const QString& folder, qint64 after, int limit) override;
    qint64 rowCount(const QString& folder) override;
    QStringList pictureNames(const QString& folder) override;
    std::optional<QList<PictureRow>> indexedPictureRows(const QString& folder) override;
    using Store::pictureNames;
    std::optional<PictureRow> locate(const QString& folder, const QString& name) override;
    QByteArray readBlob(const QString& folder, qint64 rowid) override;
    qint64 appendPicture(const QString& folder, const QString& name, const QString& come,
        const QByteArray& bytes) override;

    Tree readTree() override;
    void writeTreeStream(const QByteArray& bytes) override;
    TreeSave saveTree(const QByteArray& bytes, qint64 basedOn, qint64* newVersion) override;

    bool hasFingerprints() override;
    bool buildFingerprints(
        const std::function<bool(qint64 done, qint64 total)>& progress = {}) override;
    std::optional<StoredPicture> findSameBytes(
        const QByteArray& bytes, const QString& folder = {}) override;
    QList<DuplicateGroup> duplicateGroups() override;
    std::vector<PictureFingerprint> fingerprints(
        const QString& folder, qint64 after, int limit) override;

    void close() override;
    bool isOpen() const override { return m_db != nullptr; }

    // Whether the table has the name index: `Name` COLLATE NOCASE, then `Come`.
    bool hasNameIndex(const QString& table);

protected:
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() noexcept override;

private:
    SqliteStore(
        const QString& path, std::shared_ptr<StoreLock> lock, std::unique_ptr<SQLite::Database> db);
    void writeFirstTreeRow(const QByteArray& bytes);
    // Runs `work` inside a savepoint: all of it or nothing, nested in a caller's transaction.
    void inSavepoint(const char* name, const std::function<void()>& work);
    // Rowids of `folder`, in order; with `after`, only those above it.
    std::vector<qint64> rowids(const QString& folder, qint64 after = 0);
    qint64 maxRowid(const QString& folder);
    void insertFingerprint(const QString& folder, qint64 rowid, const QByteArray& bytes);
    // Gives the rows `added` of `to` the fingerprints of the rows `from` of `source` they copy,
    // pairwise; a source row without one is fingerprinted from its bytes.
    void copyFingerprints(const QString& to, const std::vector<qint64>& added,
        const QString& source, const std::vector<qint64>& from);
    // Gives the folder table its name index unless it has one; once per table and connection.
    // Errors are logged and swallowed; nothing is done inside a transaction of the caller's.
    void ensureNameIndex(const QString& folder);
    void createNameIndex(const QString& folder);
    // The table's indexes whose first column is `Name` COLLATE NOCASE: each one's name and second
    // column (a null text when it has none).
    std::vector<std::pair<QString, QString>> nameIndexes(const QString& table);
    // Makes the name index of a table without one, dropping an index on `Name` alone that an
    // earlier version made.
    void replaceNameIndex(const QString& folder);
    // Drops an index that holds the name a table is about to take; indexes carry no data.
    void dropIndexNamed(const QString& name);

    QString m_path;
    std::shared_ptr<StoreLock> m_lock; // released after the connection (declared first)
    std::unique_ptr<SQLite::Database> m_db;
    // Tables whose name index was found, made or could not be made on this connection.
    QSet<QString> m_nameIndexChecked;
    // Set when making an index failed for a reason of the whole store (read-only, busy, full).
    bool m_nameIndexRefused = false;
    // Whether the fingerprint table exists; unknown until asked.
    std::optional<bool> m_fingerprints;
};

} // namespace zarvo
