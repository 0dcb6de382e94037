// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

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
    QByteArray hash; // contentHash() of the bytes (16 bytes), or a server's SHA-256 of them (32)
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

} // namespace zarvo

// A row moves as its bytes do (a rowid, two implicitly shared texts, a size), so a list of
// thousands of rows grows by reallocation instead of being copied row by row into fresh memory.
Q_DECLARE_TYPEINFO(zarvo::PictureRow, Q_RELOCATABLE_TYPE);

namespace zarvo {

// Reads the bytes of one folder's pictures for a folder opening, which asks for them one by one
// (Store::pictureReader). The file store reads each when asked (readBlob); a server reads ahead,
// in batches on a connection of its own, the rows it was told will be asked for, in that order,
// so that the bytes are at hand when asked and a batch, not a picture, costs a round trip.
class PictureReader
{
public:
    virtual ~PictureReader() = default;
    // Whether it reads ahead, so that telling it what comes (expect()) is worth the caller's while.
    virtual bool readsAhead() const { return false; }
    // The rows that will be asked for next, most likely first; replaces what was told before.
    // Reading ahead follows it (a row asked for that is not there is read at once); rows read
    // ahead that are far from its front may be dropped and read again later.
    virtual void expect(const QList<PictureRow>& rows) { Q_UNUSED(rows); }
    // The bytes of the row; throws as Store::readBlob does (the row is gone, the engine failed).
    virtual QByteArray read(qint64 rowid) = 0;
    // Statements sent to a server so far, connecting not counted; 0 for a file.
    virtual qint64 roundTrips() const { return 0; }

protected:
    PictureReader() = default;
};

// A picture store and every operation the program performs on it, whatever the engine: the
// SQLite file `data.mdb` (SqliteStore, store/sqlitestore.h) or a schema on a PostgreSQL server
// (PgStore, store/pgstore.h). Store::open() picks the engine by the store's name.
//
// Both hold the same model: the tree table `blob` whose first row carries the tree stream, and
// one table per folder with `Name`, `Come` and `Blob`, rows in the order they were added (the
// "rowid" below is that order's key). Picture-name equality ignores the case of A-Z only, and so
// does looking up a table. Beside the folders, the store keeps the content fingerprint of every
// picture (XXH3-128 of its bytes and their length) in one side table, `kFingerprintTable`, which
// no folder can be named and tableNames() leaves out. Once a store has it (buildFingerprints()),
// every operation that adds, copies, deletes or moves rows or renames or drops a table keeps it
// in step, within the same transaction.
//
// Errors of the engine arrive as a std::runtime_error at the calling operation; the operations
// never tell the user anything themselves: the callers decide what the user sees. Not
// thread-safe: one thread uses it.
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
        NoConnection, // the server could not be reached or refused the connection
    };

    struct Opened
    {
        std::unique_ptr<Store> store;
        OpenError error = OpenError::None;
        QString detail; // what the engine or the system said, for zarvoctl's messages
    };

    // Opens an existing store by its name: a libpq connection URI ("postgresql://..." or
    // "postgres://...") connects to that server; anything else is the path of an SQLite file,
    // opened read-write with its store lock (or `lock` when the caller already holds it).
    // Never creates a store.
    static Opened open(const QString& name, std::shared_ptr<StoreLock> lock = nullptr);
    // Whether a store name names a server rather than a file.
    static bool isServer(const QString& name);

    virtual ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The store's name: the file's path or the connection URI.
    virtual QString name() const = 0;
    // The lock on the store file; null for a server (several programs share it). Whoever needs
    // the file locked after the connection is closed (compaction at exit) keeps a copy.
    virtual std::shared_ptr<StoreLock> lock() const { return nullptr; }

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
        Store* m_store;
        bool m_done = false;
    };

    // --- tables ---
    // Names of the folder tables and the tree table, in the order they were created; the
    // fingerprint table is not among them.
    virtual QStringList tableNames() = 0;
    // Whether a table of that name exists, only A-Z folded. Throws on engine errors.
    virtual bool TableExists(const QString& name) = 0;
    // The existing table's own spelling of name (A-Z folded), or an empty text.
    virtual QString existingTableName(const QString& name) = 0;
    // Creates the folder table `name` unless a table of that name exists. True when the table
    // exists afterwards; false when the engine refused (the caller shows createFailedText()).
    virtual bool CreateFolderTable(const QString& name) = 0;
    // The warning "文件夹 <name> 创建失败" for a folder table that could not be made.
    static QString createFailedText(const QString& name);
    virtual void createTreeTable() = 0;
    virtual void dropTable(const QString& name) = 0;
    // Renames a table in place: same columns, same rows in the same order, nothing copied.
    virtual void renameTable(const QString& from, const QString& to) = 0;
    // Appends every row of table `from` to table `to`, in row order.
    virtual void copyFolderRows(const QString& to, const QString& from) = 0;

    // --- pictures by name (whole name, A-Z case ignored) ---
    // Deletes every row of `folder` named name; returns how many went.
    virtual int deletePicture(const QString& folder, const QString& name) = 0;
    // Renames the rows of `folder` named oldName; returns how many changed.
    virtual int renamePicture(const QString& folder, const QString& newName, const QString& oldName)
        = 0;
    // Copies `Come` and `Blob` of the rows of `source` named name into new rows of `target`
    // named newName; returns how many rows were copied (0 when the source has none).
    virtual int pastePicture(
        const QString& target, const QString& newName, const QString& source, const QString& name)
        = 0;

    // --- rows of a folder, in stored order ---
    virtual QList<PictureRow> pictureRows(const QString& folder) = 0;
    // At most `limit` of them, those after rowid `after`: a big folder read a slice at a time.
    virtual QList<PictureRow> pictureRows(const QString& folder, qint64 after, int limit) = 0;
    // The rowid, `Name` and `Come` of every row, in stored order, read from an index alone (the
    // sizes are left 0); nothing when the store keeps no such index for the folder (a server,
    // a store file that cannot be written), and the caller reads the rows (pictureRows()).
    virtual std::optional<QList<PictureRow>> indexedPictureRows(const QString& folder)
    {
        Q_UNUSED(folder);
        return std::nullopt;
    }
    virtual qint64 rowCount(const QString& folder) = 0;
    // `Name` of every row, in stored order, without touching the bytes; NULL reads as a null text.
    virtual QStringList pictureNames(const QString& folder) = 0;
    // The names of each table, one list per table in the order given; a table that is refused
    // (gone meanwhile, or not a folder) gets an empty list and is logged. A server reads them
    // all in a few round trips.
    virtual QList<QStringList> pictureNames(const QStringList& tables);
    // The first row named name, A-Z case ignored.
    virtual std::optional<PictureRow> locate(const QString& folder, const QString& name) = 0;
    virtual QByteArray readBlob(const QString& folder, qint64 rowid) = 0;
    // A reader of `folder`'s bytes for one folder opening; the store outlives it.
    std::unique_ptr<PictureReader> pictureReader(const QString& folder);
    // Appends a picture record; returns its rowid.
    virtual qint64 appendPicture(
        const QString& folder, const QString& name, const QString& come, const QByteArray& bytes)
        = 0;

    // --- the tree table ---
    // The tree stream with the version it was read at. A file store has no versions (0).
    struct Tree
    {
        QByteArray stream;
        qint64 version = 0; // 0: no tree row yet, or an engine without versions
    };
    virtual Tree readTree() = 0;
    // `Blob` of the first row of `blob`; empty when there is no row or it is NULL.
    QByteArray readTreeStream() { return readTree().stream; }
    // Writes into the first row of `blob` (appending one when there is none) whatever the
    // stored version. Inside a transaction of the caller's, the write belongs to that transaction.
    virtual void writeTreeStream(const QByteArray& bytes) = 0;
    enum class TreeSave { Saved, Conflict };
    // Writes the tree if the stored one is still at version `basedOn`; otherwise leaves it and
    // returns Conflict (someone else saved a tree meanwhile). On Saved, *newVersion (when given)
    // is the version now stored. A store without versions always saves.
    virtual TreeSave saveTree(const QByteArray& bytes, qint64 basedOn, qint64* newVersion = nullptr)
        = 0;

    // --- changes other programs make (a shared store) ---
    struct Notification
    {
        bool tree = false; // the tree changed
        QString folder; // or the pictures of this folder table
    };
    // Starts receiving the changes other connections commit; a file store has none.
    virtual void listen() { }
    // The changes received so far, without waiting.
    virtual QList<Notification> takeNotifications() { return {}; }
    // A socket that becomes readable when a change may have arrived; -1 when there is none.
    virtual int notificationSocket() const { return -1; }

    // --- fingerprints: which pictures hold the same bytes ---
    // The side table's name, which no folder can have.
    static const QString kFingerprintTable;
    // Whether the store has its fingerprint table (built whole, never in part).
    virtual bool hasFingerprints() = 0;
    // Fingerprints every picture of every folder table into a new fingerprint table, in one
    // transaction of its own (none of the caller's may be open). `progress(done, total)` is called
    // per picture; when it returns false the build stops and nothing is kept. True when the
    // store has the table afterwards. Throws on engine errors (nothing is kept then either).
    virtual bool buildFingerprints(
        const std::function<bool(qint64 done, qint64 total)>& progress = {})
        = 0;
    // A stored picture holding exactly `bytes` (fingerprint matched, then the bytes compared),
    // only in table `folder` when that is given; nothing when none does or the store has no
    // fingerprints.
    virtual std::optional<StoredPicture> findSameBytes(
        const QByteArray& bytes, const QString& folder = {})
        = 0;
    // Every set of two or more pictures holding the same bytes (compared byte for byte), the
    // largest pictures first (then the larger sets). Rows whose fingerprint names a row that is
    // gone are left out.
    virtual QList<DuplicateGroup> duplicateGroups() = 0;
    // The fingerprints of the rows of `folder` after rowid `after`, at most `limit`, in rowid
    // order, from the fingerprint table alone (no picture is read); rows without one are left
    // out, and a store without fingerprints has none. A server gives its own hash (SHA-256), so
    // the same bytes may have another fingerprint there than in a file.
    virtual std::vector<PictureFingerprint> fingerprints(
        const QString& folder, qint64 after, int limit)
        = 0;

    // Closes the connection. The store object is unusable afterwards; the lock stays with
    // whoever still holds it.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Largest picture the store takes, in bytes.
    static constexpr qint64 kMaxBlobBytes = 1'000'000'000;

    // The identifier as it stands quoted in a statement: "name" with " doubled.
    static QString quoted(const QString& identifier);

protected:
    // Orders duplicate groups as duplicateGroups() gives them.
    static void sortLargestFirst(QList<DuplicateGroup>& groups);
    Store() = default;
    // What a Transaction does: begin one, make it permanent, undo it (never throws).
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() noexcept = 0;
};

} // namespace zarvo
