// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Transaction.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zarvo {

class Popups;
class StoreLock;

// The content fingerprint the store keeps for one row of a folder table.
struct PictureFingerprint
{
    qint64 rowid = 0;
    QByteArray hash; // contentHash() of the bytes, 16 bytes
    qint64 size = 0; // of the bytes
};

// Where a picture lies: its folder table, its row, and its name.
struct StoredPicture
{
    QString folder;
    qint64 rowid = 0;
    QString name;
    bool operator==(const StoredPicture&) const = default;
};

// Pictures that hold the same bytes, `size` each.
struct DuplicateGroup
{
    qint64 size = 0;
    QList<StoredPicture> pictures; // two or more, by folder table and row
};

// One picture record of a folder table, without its bytes.
struct PictureRow
{
    qint64 rowid = 0;
    QString name; // `Name`; NULL reads as empty
    QString come; // `Come`; NULL reads as empty
    qint64 size = 0; // bytes of `Blob`; NULL counts as 0
};

// The connection to the store file `data.mdb` and every operation the program performs on it.
//
// The store is an SQLite 3 file. It holds the tree table `blob` (`Name` varchar(20), `Blob`
// OLEObject) and one table per folder (`Name` varchar(20), `Come` varchar(150), `Blob`
// OLEObject), rows in rowid order. Table names are quoted identifiers and picture names bound
// parameters, so nothing a user types changes what a statement does. Picture-name equality
// ignores the case of A-Z only (COLLATE NOCASE). Picture bytes are always bound as BLOBs.
//
// Every folder table has an index on `Name` COLLATE NOCASE, so that looking up a name or listing
// the names reads only index pages: with 64 KiB pages a row keeps up to 64 KiB of its picture on
// its table page. New tables get the index when they are made; tables of older stores get it on
// their first name lookup outside a transaction. Nothing depends on the index being there: when
// it cannot be made (the file cannot be written, another program holds it), the same statements
// read the table. Index names are free names "Name index N", never derived from the table, so a
// renamed table keeps a valid index and a new table under an old name gets its own.
//
// Beside the folders, the store keeps the content fingerprint of every picture (XXH3-128 of its
// bytes and their length) in one side table, `kFingerprintTable`, indexed by the fingerprint. Its
// name holds spaces and is longer than a folder name may be, so no folder can take it, and
// tableNames() leaves it out: the tree, the search and the missing-table question never see it.
// Once a store has the table (buildFingerprints()), every operation below that adds, copies,
// deletes or moves rows or renames or drops a table keeps it in step, within the same
// transaction (a savepoint of its own, nested in the caller's transaction when one is open). A
// store without it is fingerprinted once by buildFingerprints().
//
// Errors of the engine arrive as SQLite::Exception (a std::runtime_error) at the calling
// operation; the callers decide what the user sees. Not thread-safe: one thread uses it.
class Store
{
public:
    enum class OpenError {
        None,
        Missing, // no file at the path
        NotADatabase, // not an SQLite database, empty, or damaged
        ReadOnly, // could be opened only for reading
        Locked, // held by another Zarvo or zarvoctl
        CannotLock, // the file system refuses the store lock
    };

    struct Opened
    {
        std::unique_ptr<Store> store;
        OpenError error = OpenError::None;
        QString detail; // what the engine or the system said, for zarvoctl's messages
    };

    // Opens an existing store read-write; never creates a file. Takes the store lock (or uses
    // `lock` when the caller already holds it) and probes the file with a read.
    static Opened open(const QString& path, std::shared_ptr<StoreLock> lock = nullptr);

    // Creates a new, empty store at path (64 KiB pages, no tables). Fails when a file exists.
    static bool create(const QString& path, QString* error = nullptr);

    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const QString& path() const { return m_path; }
    // The lock on the store file; whoever needs the store locked after the connection is closed
    // (compaction at exit) keeps a copy.
    std::shared_ptr<StoreLock> lock() const { return m_lock; }
    // The SQLite connection itself, for the tests and benchmarks of the engine.
    SQLite::Database& database() { return *m_db; }

    // A transaction on the store: begun when made, rolled back when destroyed uncommitted. Every
    // store operation made while one is open belongs to it. One at a time per store.
    class Transaction
    {
    public:
        explicit Transaction(Store& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        // Makes the changes permanent; throws when the engine refuses (the transaction then
        // rolls back when destroyed).
        void commit();

    private:
        std::unique_ptr<SQLite::Transaction> m_transaction;
    };

    // --- tables ---
    // Names of the user tables and views, in the order they were created; the fingerprint table
    // is not among them.
    QStringList tableNames();
    // Whether a table or view of that name exists, only A-Z folded. Throws on engine errors.
    bool TableExists(const QString& name);
    // The existing table's own spelling of name (A-Z folded), or an empty text.
    QString existingTableName(const QString& name);
    // Creates the folder table `name` unless a table of that name exists. True when the table
    // exists afterwards; otherwise the warning "文件夹 <name> 创建失败" went to the popups.
    bool CreateFolderTable(const QString& name, Popups& popups);
    void createTreeTable();
    void dropTable(const QString& name);
    // Renames a table in place: same columns, same rows in the same order, nothing copied.
    void renameTable(const QString& from, const QString& to);
    // Appends every row of table `from` to table `to`, in row order.
    void copyFolderRows(const QString& to, const QString& from);

    // --- pictures by name (whole name, A-Z case ignored) ---
    // Deletes every row of `folder` named name; returns how many went.
    int deletePicture(const QString& folder, const QString& name);
    // Renames the rows of `folder` named oldName; returns how many changed.
    int renamePicture(const QString& folder, const QString& newName, const QString& oldName);
    // Copies `Come` and `Blob` of the rows of `source` named name into new rows of `target`
    // named newName; returns how many rows were copied (0 when the source has none).
    int pastePicture(
        const QString& target, const QString& newName, const QString& source, const QString& name);

    // --- rows of a folder, in stored order ---
    QList<PictureRow> pictureRows(const QString& folder);
    // At most `limit` of them, those after rowid `after`: a big folder read a slice at a time.
    QList<PictureRow> pictureRows(const QString& folder, qint64 after, int limit);
    qint64 rowCount(const QString& folder);
    // `Name` of every row, in stored order, without touching the bytes; NULL reads as a null text.
    QStringList pictureNames(const QString& folder);
    // The first row named name, A-Z case ignored.
    std::optional<PictureRow> locate(const QString& folder, const QString& name);
    QByteArray readBlob(const QString& folder, qint64 rowid);
    // Appends a picture record; returns its rowid.
    qint64 appendPicture(
        const QString& folder, const QString& name, const QString& come, const QByteArray& bytes);

    // --- the tree table ---
    // `Blob` of the first row of `blob`; empty when there is no row or it is NULL.
    QByteArray readTreeStream();
    // Writes into the first row of `blob` (appending one when there is none). Inside a
    // transaction of the caller's, the write belongs to that transaction.
    void writeTreeStream(const QByteArray& bytes);

    // --- fingerprints: which pictures hold the same bytes ---
    // The side table's name, which no folder can have.
    static const QString kFingerprintTable;
    // Whether the store has its fingerprint table (built whole, never in part).
    bool hasFingerprints();
    // Fingerprints every picture of every folder table into a new fingerprint table, in one
    // transaction of its own (none of the caller's may be open). `progress(done, total)` is called
    // per picture; when it returns false the build stops and nothing is kept. True when the
    // store has the table afterwards. Throws on engine errors (nothing is kept then either).
    bool buildFingerprints(const std::function<bool(qint64 done, qint64 total)>& progress = {});
    // A stored picture holding exactly `bytes` (fingerprint matched, then the bytes compared),
    // only in table `folder` when that is given; nothing when none does or the store has no
    // fingerprints.
    std::optional<StoredPicture> findSameBytes(const QByteArray& bytes, const QString& folder = {});
    // Every set of two or more pictures holding the same bytes (compared byte for byte), the
    // largest pictures first (then the larger sets). Rows whose fingerprint names a row that is
    // gone are left out.
    QList<DuplicateGroup> duplicateGroups();
    // The fingerprints of the rows of `folder` after rowid `after`, at most `limit`, in rowid
    // order, from the fingerprint table alone (no picture is read); rows without one are left
    // out, and a store without fingerprints has none.
    std::vector<PictureFingerprint> fingerprints(const QString& folder, qint64 after, int limit);

    // Closes the connection. The store object is unusable afterwards; the lock stays with
    // whoever still holds it.
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // Largest picture the store takes, in bytes.
    static constexpr qint64 kMaxBlobBytes = 1'000'000'000;

    // The identifier as it stands quoted in a statement: "name" with " doubled.
    static QString quoted(const QString& identifier);

    // Whether the table has an index whose first column is `Name` COLLATE NOCASE.
    bool hasNameIndex(const QString& table);

private:
    Store(
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
