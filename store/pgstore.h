// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

struct pg_conn;
struct pg_result;

namespace zarvo {

// A store on a PostgreSQL server, reached by a libpq connection URI ("postgresql://..." or
// "postgres://..."); passwords come from libpq's own .pgpass, service file or PGPASSWORD, TLS as
// its sslmode says. The same model and operations as Store, in the first schema of the
// connection's search path:
//  - the tree table `blob` ("Row", "Name", "Blob" bytea, "Version"): the tree stream in its first
//    row, with a version that every save raises;
//  - one table per folder ("Row", "Name", "Come", "Blob" bytea). "Row" stands in for SQLite's
//    rowid: every folder table takes it from the one sequence "row order", so rows keep the
//    order they were added in, also when copied between tables.
// Letter case follows the store's rule, not PostgreSQL's: picture names compare equal when they
// differ only in A-Z (each folder table has an index on the name with A-Z folded by translate(),
// never lower(), which folds by locale), and table names are checked against the catalogue with
// the same folding. Identifiers are always quoted and qualified with the schema, values always
// bound, picture bytes sent and read in binary format. Indexes and the sequence have names with
// a space, which no folder name has.
//
// Several programs may use one server at once. Adding to a folder takes a per-folder advisory
// lock for the rest of the transaction (lockFolder), so a name check and its insert are not
// interleaved with another client's. saveTree() refuses a tree based on an older version.
// Every change is announced on the schema's notification channel once committed (listen(),
// takeNotifications()).
//
// The fingerprint side table ("Row", "Table" oid, "Hash" bytea, "Size") is kept in step by the
// server itself: once built, every folder table carries triggers that fingerprint the rows a
// statement adds and forget the rows it deletes, so copies made on the server (paste, folder
// merges) need no round trip of their bytes. On the server the fingerprint is SHA-256 (the
// server's own sha256()) with the length; as on the file store, a match is confirmed by the bytes.
//
// Errors arrive as PgStore::Error (a std::runtime_error) at the calling operation, like
// SQLite::Exception from SqliteStore. A lost connection is re-made by the next operation outside a
// transaction. Not thread-safe: one thread uses it.
class PgStore final : public Store
{
public:
    class Error : public std::runtime_error
    {
    public:
        Error(const std::string& what, QString sqlState = {})
            : std::runtime_error(what)
            , m_sqlState(std::move(sqlState))
        {
        }
        // The SQLSTATE of the server's refusal; empty for failures of the client or connection.
        const QString& sqlState() const { return m_sqlState; }

    private:
        QString m_sqlState;
    };

    struct Opened
    {
        std::unique_ptr<PgStore> store;
        QString detail; // what libpq said when there is no store
    };

    // Whether a store name is a libpq connection URI rather than a file.
    static bool isUri(const QString& name);
    // Connects; never creates anything on the server.
    static Opened open(const QString& uri);

    ~PgStore() override;

    const QString& uri() const { return m_uri; }
    QString name() const override { return m_uri; }
    // The schema the store lives in (the first of the search path).
    const QString& schema() const { return m_schema; }

    // --- tables (Store's meaning) ---
    QStringList tableNames() override;
    bool TableExists(const QString& name) override;
    QString existingTableName(const QString& name) override;
    bool CreateFolderTable(const QString& name) override;
    void createTreeTable() override;
    void dropTable(const QString& name) override;
    void renameTable(const QString& from, const QString& to) override;
    void copyFolderRows(const QString& to, const QString& from) override;

    // --- pictures by name (whole name, A-Z case ignored) ---
    int deletePicture(const QString& folder, const QString& name) override;
    int renamePicture(
        const QString& folder, const QString& newName, const QString& oldName) override;
    int pastePicture(const QString& target, const QString& newName, const QString& source,
        const QString& name) override;

    // --- rows of a folder, in stored order ("Row" stands as rowid) ---
    QList<PictureRow> pictureRows(const QString& folder) override;
    QList<PictureRow> pictureRows(const QString& folder, qint64 after, int limit) override;
    qint64 rowCount(const QString& folder) override;
    QStringList pictureNames(const QString& folder) override;
    std::optional<PictureRow> locate(const QString& folder, const QString& name) override;
    QByteArray readBlob(const QString& folder, qint64 row) override;
    // Appends a picture record under the folder's lock; returns its "Row".
    qint64 appendPicture(const QString& folder, const QString& name, const QString& come,
        const QByteArray& bytes) override;
    // In one round trip per 200 tables.
    QList<QStringList> pictureNames(const QStringList& tables) override;
    // A picture to append: NULL name and origin as the file store has them.
    struct NewPicture
    {
        QString name;
        QString come;
        QByteArray bytes;
    };
    // Appends pictures under the folder's lock, in the order `next` gives them (it returns false
    // when none is left), in one COPY: one round trip whatever their number. Returns how many.
    qint64 appendPictures(const QString& folder, const std::function<bool(NewPicture&)>& next);
    // Takes the folder's advisory lock until the transaction ends; needs a Transaction.
    void lockFolder(const QString& folder);

    // Reads every row of the folder with its bytes, in stored order: one round trip for the
    // rows, then one per batch of at most maxRows rows, a batch ending with the row that brings
    // it to maxBytes (so it holds at most maxBytes plus one picture). `picture` is called for
    // each row as its batch arrives; returning false stops the reading.
    void readFolder(const QString& folder,
        const std::function<bool(const PictureRow&, const QByteArray&)>& picture, int maxRows = 200,
        qint64 maxBytes = 64LL << 20);
    // The same for rows already read (pictureRows()), without reading them again: one round trip
    // per batch. Rows deleted since are left out.
    void readPictures(const QString& folder, const QList<PictureRow>& rows,
        const std::function<bool(const PictureRow&, const QByteArray&)>& picture, int maxRows = 200,
        qint64 maxBytes = 64LL << 20);

    // --- the tree table ---
    // The tree with its version; every save raises the version.
    Tree readTree() override;
    // Writes the tree whatever its version (raising it); for copying whole stores.
    void writeTreeStream(const QByteArray& bytes) override;
    TreeSave saveTree(
        const QByteArray& bytes, qint64 basedOn, qint64* newVersion = nullptr) override;

    // --- notifications of other clients' changes ---
    // Starts receiving the changes other connections commit.
    void listen() override;
    // The changes received so far (reads what the connection has, without waiting).
    QList<Notification> takeNotifications() override;
    // The connection's socket, for a notifier that calls takeNotifications() when it can read.
    int socket() const;
    int notificationSocket() const override { return socket(); }

    // --- fingerprints (kept by the server's triggers once built) ---
    bool hasFingerprints() override;
    bool buildFingerprints(
        const std::function<bool(qint64 done, qint64 total)>& progress = {}) override;
    std::optional<StoredPicture> findSameBytes(
        const QByteArray& bytes, const QString& folder = {}) override;
    QList<DuplicateGroup> duplicateGroups() override;
    std::vector<PictureFingerprint> fingerprints(
        const QString& folder, qint64 after, int limit) override;

    // Closes the connection; nothing re-makes it.
    void close() override;
    bool isOpen() const override { return m_conn != nullptr; }

    // A second connection to the same server that the last folder reader (PgPictureReader) gave
    // back, for the next one; null when there is none.
    std::unique_ptr<PgStore> takeReaderConnection() { return std::move(m_readerConnection); }
    void keepReaderConnection(std::unique_ptr<PgStore> connection)
    {
        m_readerConnection = std::move(connection);
    }

    // Statements sent so far, each one round trip to the server.
    qint64 roundTrips() const { return m_roundTrips; }

    // Largest picture the store takes, in bytes: the same as Store's.
    static constexpr qint64 kMaxBlobBytes = Store::kMaxBlobBytes;
    // Longest identifier PostgreSQL keeps, in UTF-8 bytes (longer ones it would cut short).
    static constexpr int kMaxIdentifierBytes = 63;

    // Runs a statement with text parameters, for tools and tests; returns the first column of
    // every row as text.
    QStringList exec(const QString& sql, const QStringList& params = {});

protected:
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() noexcept override;

private:
    class Result;

    PgStore(const QString& uri, pg_conn* connection);
    Result run(const QString& sql, const QList<QByteArray>& params = {},
        const QList<bool>& binaryParams = {}, bool binaryResult = false);
    // Runs a query with text parameters and a binary result in one round trip, handing each row
    // to `row` as it arrives (libpq's single-row mode) so that reading overlaps the server's
    // sending; `row` returning false cancels the rest.
    void stream(const QString& sql, const QList<QByteArray>& params,
        const std::function<bool(const Result&)>& row);
    Error failure(pg_result* r, const QString& sql) const;
    void ensureConnected();
    QString qualified(const QString& table) const;
    // The type of a "Row" column, making the sequence it draws from when missing.
    QString rowColumn();
    QString freeRelationName(const QString& stem);
    void moveIndexOutOfTheWay(const QString& name);
    void createNameIndexes(const QString& folder);
    void notify(const QString& what);
    // Gives a folder table the triggers that keep its fingerprints.
    void addFingerprintTriggers(const QString& folder);
    // The name of the picture at `row` of `folder`; nothing when the row is gone.
    std::optional<QString> nameAt(const QString& folder, qint64 row);
    // Runs f in a transaction of its own, or in a savepoint of the caller's.
    void atomically(const std::function<void()>& f);

    QString m_uri;
    QString m_schema;
    pg_conn* m_conn = nullptr;
    bool m_inTransaction = false;
    bool m_listening = false;
    qint64 m_roundTrips = 0;
    bool m_fingerprints = false; // the fingerprint table was seen (it is never dropped)
    std::unique_ptr<PgStore> m_readerConnection;
    // Trees saved in the open transaction: the version the first was based on, the last one's.
    qint64 m_treeSavedOn = 0;
    qint64 m_treeSavedAs = -1;
    // The version a rolled-back transaction's tree got, and the one it was based on.
    std::optional<std::pair<qint64, qint64>> m_treeUndone;
};

} // namespace zarvo
