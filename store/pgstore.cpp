// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/pgstore.h"

#include "store/gbtext.h"
#include "store/logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSet>
#include <QtEndian>

#include <libpq-fe.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

namespace zarvo {

namespace {

// translate() arguments that fold A-Z and nothing else, whatever the server's locale.
const char kFold[] = "'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz'";
const char kChannel[] = "zarvo";

QString folded(const QString& expression)
{
    return QStringLiteral("translate(%1, %2)").arg(expression, QLatin1String(kFold));
}

void checkIdentifier(const QString& name)
{
    if (name.isEmpty() || name.contains(QChar(0)))
        throw PgStore::Error("no table can have that name");
    if (name.toUtf8().size() > PgStore::kMaxIdentifierBytes)
        throw PgStore::Error("the name is too long for a table on the server");
}

qint64 int8(const char* p)
{
    return qFromBigEndian<qint64>(p);
}

} // namespace

// A query's result, freed when it goes.
class PgStore::Result
{
public:
    explicit Result(PGresult* r)
        : m_r(r)
    {
    }
    ~Result() { PQclear(m_r); }
    Result(Result&& other) noexcept
        : m_r(std::exchange(other.m_r, nullptr))
    {
    }
    Result& operator=(Result&& other) noexcept
    {
        std::swap(m_r, other.m_r);
        return *this;
    }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    int rows() const { return PQntuples(m_r); }
    bool isNull(int row, int column) const { return PQgetisnull(m_r, row, column) == 1; }
    QString text(int row, int column) const
    {
        return isNull(row, column)
            ? QString()
            : QString::fromUtf8(PQgetvalue(m_r, row, column), PQgetlength(m_r, row, column));
    }
    QByteArray bytes(int row, int column) const
    {
        return QByteArray(PQgetvalue(m_r, row, column), PQgetlength(m_r, row, column));
    }
    // A bigint column of a binary result.
    qint64 int64(int row, int column) const
    {
        return isNull(row, column) || PQgetlength(m_r, row, column) != 8
            ? 0
            : int8(PQgetvalue(m_r, row, column));
    }
    qint64 affected() const { return QByteArray(PQcmdTuples(m_r)).toLongLong(); }
    PGresult* get() const { return m_r; }

private:
    PGresult* m_r;
};

bool PgStore::isUri(const QString& name)
{
    return name.startsWith(QLatin1String("postgresql://"))
        || name.startsWith(QLatin1String("postgres://"));
}

PgStore::Opened PgStore::open(const QString& uri)
{
    Opened opened;
    pg_conn* conn = PQconnectdb(uri.toUtf8().constData());
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        opened.detail = conn ? QString::fromUtf8(PQerrorMessage(conn)).trimmed()
                             : QStringLiteral("out of memory");
        PQfinish(conn);
        return opened;
    }
    // The server's notices ("already exists, skipping") go to the store's log, not stderr.
    PQsetNoticeProcessor(
        conn, [](void*, const char* message) { qCDebug(lcStore) << "server:" << message; },
        nullptr);
    std::unique_ptr<PgStore> store(new PgStore(uri, conn));
    try {
        const QStringList schema = store->exec(QStringLiteral("SELECT current_schema()"));
        if (schema.isEmpty() || schema.first().isNull()) {
            opened.detail = QStringLiteral("the search path names no schema that exists");
            return opened;
        }
        store->m_schema = schema.first();
    } catch (const std::exception& e) {
        opened.detail = QString::fromUtf8(e.what());
        return opened;
    }
    opened.store = std::move(store);
    return opened;
}

PgStore::PgStore(const QString& uri, pg_conn* connection)
    : m_uri(uri)
    , m_conn(connection)
{
}

PgStore::~PgStore()
{
    PQfinish(m_conn);
}

void PgStore::close()
{
    m_readerConnection.reset();
    PQfinish(m_conn);
    m_conn = nullptr;
    m_inTransaction = false;
}

void PgStore::ensureConnected()
{
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    if (m_inTransaction)
        throw Error("the connection to the server was lost");
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw Error(std::string("no connection to the server: ") + PQerrorMessage(m_conn));
    if (m_listening)
        run(QStringLiteral("LISTEN ") + Store::quoted(QLatin1String(kChannel)));
}

PgStore::Result PgStore::run(const QString& sql, const QList<QByteArray>& params,
    const QList<bool>& binaryParams, bool binaryResult)
{
    ensureConnected();
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (qsizetype i = 0; i < params.size(); ++i) {
        values.push_back(params[i].isNull() ? nullptr : params[i].constData());
        lengths.push_back(int(params[i].size()));
        formats.push_back(i < binaryParams.size() && binaryParams[i] ? 1 : 0);
    }
    ++m_roundTrips;
    PGresult* r = PQexecParams(m_conn, sql.toUtf8().constData(), int(params.size()), nullptr,
        values.data(), lengths.data(), formats.data(), binaryResult ? 1 : 0);
    Result result(r);
    const ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure(r, sql);
    return result;
}

PgStore::Error PgStore::failure(PGresult* r, const QString& sql) const
{
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QString message = QString::fromUtf8(r ? PQresultErrorMessage(r) : "")
                                .trimmed()
                                .section(QLatin1Char('\n'), 0, 0);
    qCDebug(lcStore) << "the server refused" << sql << ":" << message;
    return Error(message.isEmpty() ? std::string(PQerrorMessage(m_conn)) : message.toStdString(),
        state ? QString::fromLatin1(state) : QString());
}

void PgStore::stream(const QString& sql, const QList<QByteArray>& params,
    const std::function<bool(const Result&)>& row)
{
    ensureConnected();
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const QByteArray& p : params) {
        values.push_back(p.isNull() ? nullptr : p.constData());
        lengths.push_back(int(p.size()));
    }
    ++m_roundTrips;
    if (!PQsendQueryParams(m_conn, sql.toUtf8().constData(), int(params.size()), nullptr,
            values.data(), lengths.data(), nullptr, 1)
        || !PQsetSingleRowMode(m_conn)) {
        // Whatever was sent is drained so that the connection serves the next statement.
        while (PGresult* r = PQgetResult(m_conn))
            PQclear(r);
        throw Error(std::string("the server could not be asked: ") + PQerrorMessage(m_conn));
    }
    // Every result is taken, also after a failure or a cancel, until libpq has none left.
    std::exception_ptr failed;
    bool wanted = true;
    while (PGresult* r = PQgetResult(m_conn)) {
        const Result result(r);
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_SINGLE_TUPLE) {
            if (!wanted || failed)
                continue;
            try {
                wanted = row(result);
            } catch (...) {
                failed = std::current_exception();
                wanted = false;
            }
            if (!wanted) {
                // The rows still on their way are not wanted: the server stops sending them.
                if (PGcancel* cancel = PQgetCancel(m_conn)) {
                    char message[256];
                    PQcancel(cancel, message, sizeof message);
                    PQfreeCancel(cancel);
                }
            }
        } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && wanted && !failed) {
            failed = std::make_exception_ptr(failure(r, sql));
        }
    }
    if (failed)
        std::rethrow_exception(failed);
}

QStringList PgStore::exec(const QString& sql, const QStringList& params)
{
    QList<QByteArray> values;
    for (const QString& p : params)
        values.append(p.isNull() ? QByteArray() : p.toUtf8());
    const Result r = run(sql, values);
    QStringList column;
    for (int i = 0; i < r.rows(); ++i)
        column.append(r.text(i, 0));
    return column;
}

QString PgStore::qualified(const QString& table) const
{
    return Store::quoted(m_schema) + QLatin1Char('.') + Store::quoted(table);
}

void PgStore::beginTransaction()
{
    run(QStringLiteral("BEGIN"));
    m_inTransaction = true;
}

void PgStore::rollbackTransaction() noexcept
{
    m_inTransaction = false;
    // A tree saved in the transaction is undone: a save based on the version it got is based on
    // the version before it.
    if (m_treeSavedAs >= 0)
        m_treeUndone = { m_treeSavedAs, m_treeSavedOn };
    m_treeSavedAs = -1;
    try {
        if (PQstatus(m_conn) == CONNECTION_OK)
            run(QStringLiteral("ROLLBACK"));
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "rolling back failed:" << e.what();
    }
}

void PgStore::commitTransaction()
{
    run(QStringLiteral("COMMIT"));
    m_inTransaction = false;
    m_treeSavedAs = -1;
}

void PgStore::atomically(const std::function<void()>& f)
{
    if (!m_inTransaction) {
        Transaction transaction(*this);
        f();
        transaction.commit();
        return;
    }
    run(QStringLiteral("SAVEPOINT zarvo_step"));
    try {
        f();
    } catch (...) {
        try {
            run(QStringLiteral("ROLLBACK TO SAVEPOINT zarvo_step"));
        } catch (const std::exception&) {
            // The caller's transaction rolls back as a whole.
        }
        throw;
    }
    run(QStringLiteral("RELEASE SAVEPOINT zarvo_step"));
}

void PgStore::notify(const QString& what)
{
    run(QStringLiteral("SELECT pg_notify($1, $2)"),
        { QByteArray(kChannel), (m_schema + QLatin1Char('\n') + what).toUtf8() });
}

// --- tables

QStringList PgStore::tableNames()
{
    // Tables in the order they were made (oids grow), as SQLite lists them.
    return exec(QStringLiteral("SELECT c.relname FROM pg_class c JOIN pg_namespace n "
                               "ON n.oid=c.relnamespace WHERE n.nspname=$1 "
                               "AND c.relkind IN ('r','v','p','m','f') AND c.relname<>$2 "
                               "ORDER BY c.oid"),
        { m_schema, kFingerprintTable });
}

QString PgStore::existingTableName(const QString& name)
{
    const QStringList found
        = exec(QStringLiteral("SELECT c.relname FROM pg_class c "
                              "JOIN pg_namespace n ON n.oid=c.relnamespace "
                              "WHERE n.nspname=$1 AND c.relkind IN "
                              "('r','v','p','m','f') AND %1=%2 "
                              "ORDER BY c.oid LIMIT 1")
                   .arg(folded(QStringLiteral("c.relname::text")), folded(QStringLiteral("$2"))),
            { m_schema, name });
    return found.isEmpty() ? QString() : found.first();
}

bool PgStore::TableExists(const QString& name)
{
    return !existingTableName(name).isNull();
}

QString PgStore::freeRelationName(const QString& stem)
{
    const QStringList taken = exec(QStringLiteral("SELECT c.relname FROM pg_class c JOIN "
                                                  "pg_namespace n ON n.oid=c.relnamespace "
                                                  "WHERE n.nspname=$1 AND c.relname LIKE $2"),
        { m_schema, stem + QLatin1Char('%') });
    const QSet<QString> set(taken.begin(), taken.end());
    for (int n = 1;; ++n) {
        const QString name = stem + QString::number(n);
        if (!set.contains(name))
            return name;
    }
}

void PgStore::moveIndexOutOfTheWay(const QString& name)
{
    // Indexes and the sequence share the tables' namespace; one of them under a name a table is
    // about to take is renamed (they carry no data a name depends on).
    const QStringList kinds = exec(QStringLiteral("SELECT c.relkind::text FROM pg_class c JOIN "
                                                  "pg_namespace n ON n.oid=c.relnamespace "
                                                  "WHERE n.nspname=$1 AND c.relname=$2"),
        { m_schema, name });
    if (kinds.isEmpty() || (kinds.first() != QLatin1String("i")))
        return;
    run(QStringLiteral("ALTER INDEX %1 RENAME TO %2")
            .arg(qualified(name), Store::quoted(freeRelationName(QStringLiteral("Name index ")))));
}

void PgStore::createNameIndexes(const QString& folder)
{
    run(QStringLiteral("CREATE INDEX %1 ON %2 (%3, \"Row\")")
            .arg(Store::quoted(freeRelationName(QStringLiteral("Name index "))), qualified(folder),
                folded(QStringLiteral("\"Name\""))));
    run(QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (\"Row\")")
            .arg(Store::quoted(freeRelationName(QStringLiteral("Row index "))), qualified(folder)));
}

bool PgStore::CreateFolderTable(const QString& name)
{
    try {
        if (TableExists(name))
            return true;
        checkIdentifier(name);
        atomically([&] {
            moveIndexOutOfTheWay(name);
            // Pictures are compressed already: their bytes are stored out of line as they are.
            run(QStringLiteral("CREATE TABLE %1 (\"Row\" %2, \"Name\" text, \"Come\" text, "
                               "\"Blob\" bytea)")
                    .arg(qualified(name), rowColumn()));
            run(QStringLiteral("ALTER TABLE %1 ALTER COLUMN \"Blob\" SET STORAGE EXTERNAL")
                    .arg(qualified(name)));
            createNameIndexes(name);
            if (hasFingerprints())
                addFingerprintTriggers(name);
        });
        return true;
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "creating table" << name << "failed:" << e.what();
        return false;
    }
}

QString PgStore::rowColumn()
{
    const QString sequence = qualified(QStringLiteral("row order"));
    run(QStringLiteral("CREATE SEQUENCE IF NOT EXISTS ") + sequence);
    QString literal = sequence;
    literal.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("bigint NOT NULL DEFAULT nextval('%1')").arg(literal);
}

void PgStore::createTreeTable()
{
    run(QStringLiteral("CREATE TABLE %1 (\"Row\" %2, \"Name\" text, \"Blob\" bytea, "
                       "\"Version\" bigint NOT NULL DEFAULT 0)")
            .arg(qualified(QStringLiteral("blob")), rowColumn()));
}

void PgStore::dropTable(const QString& name)
{
    run(QStringLiteral("DROP TABLE ") + qualified(name));
    notify(QStringLiteral("folder\n") + name);
}

void PgStore::renameTable(const QString& from, const QString& to)
{
    checkIdentifier(to);
    atomically([&] {
        moveIndexOutOfTheWay(to);
        run(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(qualified(from), Store::quoted(to)));
    });
    notify(QStringLiteral("folder\n") + from);
}

void PgStore::copyFolderRows(const QString& to, const QString& from)
{
    run(QStringLiteral("INSERT INTO %1 (\"Name\",\"Come\",\"Blob\") SELECT \"Name\",\"Come\","
                       "\"Blob\" FROM %2 ORDER BY \"Row\"")
            .arg(qualified(to), qualified(from)));
    notify(QStringLiteral("folder\n") + to);
}

// --- pictures by name

int PgStore::deletePicture(const QString& folder, const QString& name)
{
    const Result r = run(QStringLiteral("DELETE FROM %1 WHERE %2=%3")
                             .arg(qualified(folder), folded(QStringLiteral("\"Name\"")),
                                 folded(QStringLiteral("$1"))),
        { name.toUtf8() });
    notify(QStringLiteral("folder\n") + folder);
    return int(r.affected());
}

int PgStore::renamePicture(const QString& folder, const QString& newName, const QString& oldName)
{
    const Result r = run(QStringLiteral("UPDATE %1 SET \"Name\"=$1 WHERE %2=%3")
                             .arg(qualified(folder), folded(QStringLiteral("\"Name\"")),
                                 folded(QStringLiteral("$2"))),
        { newName.toUtf8(), oldName.toUtf8() });
    notify(QStringLiteral("folder\n") + folder);
    return int(r.affected());
}

int PgStore::pastePicture(
    const QString& target, const QString& newName, const QString& source, const QString& name)
{
    const Result r = run(QStringLiteral("INSERT INTO %1 (\"Name\",\"Come\",\"Blob\") SELECT $1,"
                                        "\"Come\",\"Blob\" FROM %2 WHERE %3=%4 ORDER BY \"Row\"")
                             .arg(qualified(target), qualified(source),
                                 folded(QStringLiteral("\"Name\"")), folded(QStringLiteral("$2"))),
        { newName.toUtf8(), name.toUtf8() });
    notify(QStringLiteral("folder\n") + target);
    return int(r.affected());
}

// --- rows

namespace {

const char kRowColumns[]
    = "\"Row\", \"Name\", \"Come\", coalesce(octet_length(\"Blob\"),0)::bigint";

PictureRow pictureRow(const auto& r, int i)
{
    PictureRow row;
    row.rowid = r.int64(i, 0);
    row.name = r.text(i, 1); // NULL reads as an empty (null) text, as from the file store
    row.come = r.text(i, 2);
    row.size = r.int64(i, 3);
    return row;
}

} // namespace

QList<PictureRow> PgStore::pictureRows(const QString& folder)
{
    const Result r = run(QStringLiteral("SELECT %1 FROM %2 ORDER BY \"Row\"")
                             .arg(QLatin1String(kRowColumns), qualified(folder)),
        {}, {}, true);
    QList<PictureRow> rows;
    rows.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i)
        rows.append(pictureRow(r, i));
    return rows;
}

QList<PictureRow> PgStore::pictureRows(const QString& folder, qint64 after, int limit)
{
    const Result r
        = run(QStringLiteral("SELECT %1 FROM %2 WHERE \"Row\">$1::bigint ORDER BY \"Row\" "
                             "LIMIT $2::bigint")
                  .arg(QLatin1String(kRowColumns), qualified(folder)),
            { QByteArray::number(after), QByteArray::number(limit) }, {}, true);
    QList<PictureRow> rows;
    rows.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i)
        rows.append(pictureRow(r, i));
    return rows;
}

qint64 PgStore::rowCount(const QString& folder)
{
    return exec(QStringLiteral("SELECT count(*) FROM ") + qualified(folder)).value(0).toLongLong();
}

QStringList PgStore::pictureNames(const QString& folder)
{
    const Result r
        = run(QStringLiteral("SELECT \"Name\" FROM %1 ORDER BY \"Row\"").arg(qualified(folder)));
    QStringList names;
    names.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i)
        names.append(r.text(i, 0));
    return names;
}

QList<QStringList> PgStore::pictureNames(const QStringList& tables)
{
    constexpr qsizetype kTablesPerQuery = 200;
    QList<QStringList> names(tables.size());
    for (qsizetype first = 0; first < tables.size(); first += kTablesPerQuery) {
        const qsizetype end = qMin(tables.size(), first + kTablesPerQuery);
        QStringList parts;
        for (qsizetype i = first; i < end; ++i)
            parts.append(QStringLiteral("SELECT %1::bigint, \"Row\", \"Name\" FROM %2")
                             .arg(i)
                             .arg(qualified(tables[i])));
        try {
            // Unordered: the server need not sort; each table's rows are put in order here.
            const Result r = run(parts.join(QStringLiteral(" UNION ALL ")), {}, {}, true);
            QList<QList<std::pair<qint64, QString>>> rows(end - first);
            for (int k = 0; k < r.rows(); ++k)
                rows[qsizetype(r.int64(k, 0)) - first].append({ r.int64(k, 1), r.text(k, 2) });
            for (qsizetype i = first; i < end; ++i) {
                QList<std::pair<qint64, QString>>& table = rows[i - first];
                std::stable_sort(table.begin(), table.end(),
                    [](const auto& a, const auto& b) { return a.first < b.first; });
                names[i].reserve(table.size());
                for (auto& [row, name] : table)
                    names[i].append(std::move(name));
            }
        } catch (const Error& e) {
            // One table refused refuses them all: each is asked alone.
            qCDebug(lcStore) << "reading the names of several tables at once failed:" << e.what();
            if (m_inTransaction)
                throw;
            for (qsizetype i = first; i < end; ++i) {
                try {
                    names[i] = pictureNames(tables[i]);
                } catch (const Error& alone) {
                    qCDebug(lcStore)
                        << "reading the names of" << tables[i] << "failed:" << alone.what();
                }
            }
        }
    }
    return names;
}

std::optional<PictureRow> PgStore::locate(const QString& folder, const QString& name)
{
    const Result r = run(QStringLiteral("SELECT %1 FROM %2 WHERE %3=%4 ORDER BY \"Row\" LIMIT 1")
                             .arg(QLatin1String(kRowColumns), qualified(folder),
                                 folded(QStringLiteral("\"Name\"")), folded(QStringLiteral("$1"))),
        { name.toUtf8() }, {}, true);
    if (r.rows() == 0)
        return std::nullopt;
    return pictureRow(r, 0);
}

QByteArray PgStore::readBlob(const QString& folder, qint64 row)
{
    const Result r = run(
        QStringLiteral("SELECT \"Blob\" FROM %1 WHERE \"Row\"=$1::bigint").arg(qualified(folder)),
        { QByteArray::number(row) }, {}, true);
    if (r.rows() == 0)
        throw Error("the picture is no longer in its folder");
    return r.isNull(0, 0) ? QByteArray() : r.bytes(0, 0);
}

void PgStore::lockFolder(const QString& folder)
{
    if (!m_inTransaction)
        throw Error("a folder is locked only inside a transaction");
    // The key is the folder's folded name in this schema, so Cat and cat share a lock.
    run(QStringLiteral("SELECT pg_advisory_xact_lock(hashtextextended($1 || chr(10) || %1, 0))")
            .arg(folded(QStringLiteral("$2"))),
        { m_schema.toUtf8(), folder.toUtf8() });
}

qint64 PgStore::appendPicture(
    const QString& folder, const QString& name, const QString& come, const QByteArray& bytes)
{
    if (bytes.size() > kMaxBlobBytes)
        throw Error("the picture is too large for the store", QStringLiteral("54000"));
    qint64 row = 0;
    atomically([&] {
        lockFolder(folder);
        // An empty picture is stored as empty bytes, never as NULL.
        const Result r = run(QStringLiteral("INSERT INTO %1 (\"Name\",\"Come\",\"Blob\") "
                                            "VALUES ($1,$2,$3) RETURNING \"Row\"")
                                 .arg(qualified(folder)),
            { name.toUtf8(), come.toUtf8(), bytes.isNull() ? QByteArray("") : bytes },
            { false, false, true }, true);
        row = r.int64(0, 0);
        notify(QStringLiteral("folder\n") + folder);
    });
    return row;
}

namespace {

void putInt(QByteArray& to, qint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    to.append(bytes, 4);
}

// A text or bytea field of a binary COPY row; a null text is NULL.
void putField(QByteArray& to, const QByteArray& value)
{
    putInt(to, value.isNull() ? -1 : qint32(value.size()));
    to.append(value);
}

} // namespace

qint64 PgStore::appendPictures(const QString& folder, const std::function<bool(NewPicture&)>& next)
{
    qint64 count = 0;
    atomically([&] {
        lockFolder(folder);
        const QString sql = QStringLiteral("COPY %1 (\"Name\",\"Come\",\"Blob\") FROM STDIN "
                                           "(FORMAT binary)")
                                .arg(qualified(folder));
        ensureConnected();
        ++m_roundTrips;
        const Result started(PQexec(m_conn, sql.toUtf8().constData()));
        if (PQresultStatus(started.get()) != PGRES_COPY_IN)
            throw failure(started.get(), sql);
        // The header: signature, flags, no extension; then a row per picture; then -1.
        QByteArray head("PGCOPY\n\377\r\n\0", 11);
        putInt(head, 0);
        putInt(head, 0);
        std::exception_ptr abandoned;
        const auto put = [&](const QByteArray& data) {
            if (PQputCopyData(m_conn, data.constData(), int(data.size())) != 1)
                throw Error(std::string("sending to the server failed: ") + PQerrorMessage(m_conn));
        };
        try {
            put(head);
            NewPicture picture;
            while (next(picture)) {
                if (picture.bytes.size() > kMaxBlobBytes)
                    throw Error("the picture is too large for the store", QStringLiteral("54000"));
                // An empty picture is stored as empty bytes, never as NULL.
                QByteArray row;
                row.append(char(0)).append(char(3));
                putField(row, picture.name.isNull() ? QByteArray() : picture.name.toUtf8());
                putField(row, picture.come.isNull() ? QByteArray() : picture.come.toUtf8());
                putInt(row, qint32(picture.bytes.size()));
                put(row);
                if (!picture.bytes.isEmpty())
                    put(picture.bytes);
                ++count;
            }
            put(QByteArray("\377\377", 2));
        } catch (...) {
            abandoned = std::current_exception();
        }
        // A failure on this side abandons the copy: the server keeps none of its rows.
        const bool ended
            = PQputCopyEnd(m_conn, abandoned ? "the pictures could not be sent" : nullptr) == 1;
        std::optional<Error> failed;
        while (PGresult* r = PQgetResult(m_conn)) {
            const Result result(r);
            if (PQresultStatus(r) != PGRES_COMMAND_OK && !failed)
                failed = failure(r, sql);
        }
        if (abandoned)
            std::rethrow_exception(abandoned);
        if (!ended)
            throw Error(std::string("sending to the server failed: ") + PQerrorMessage(m_conn));
        if (failed)
            throw *failed;
        notify(QStringLiteral("folder\n") + folder);
    });
    return count;
}

void PgStore::readFolder(const QString& folder,
    const std::function<bool(const PictureRow&, const QByteArray&)>& picture, int maxRows,
    qint64 maxBytes)
{
    readPictures(folder, pictureRows(folder), picture, maxRows, maxBytes);
}

void PgStore::readPictures(const QString& folder, const QList<PictureRow>& rows,
    const std::function<bool(const PictureRow&, const QByteArray&)>& picture, int maxRows,
    qint64 maxBytes)
{
    qsizetype next = 0;
    while (next < rows.size()) {
        // The next batch: up to maxRows rows, ending with the row that reaches maxBytes, so
        // that every batch but the last is full by count or bytes.
        qsizetype end = next;
        qint64 bytes = 0;
        while (end < rows.size() && end - next < maxRows && bytes < maxBytes) {
            bytes += rows[end].size;
            ++end;
        }
        QByteArray ids = "{";
        for (qsizetype i = next; i < end; ++i) {
            if (i > next)
                ids += ',';
            ids += QByteArray::number(rows[i].rowid);
        }
        ids += '}';
        // Rows deleted meanwhile are left out; the rest keep their order. Each picture is
        // handed over as it arrives, while the server still sends the rest of the batch.
        qsizetype i = next;
        bool more = true;
        stream(QStringLiteral("SELECT \"Row\", \"Blob\" FROM %1 "
                              "WHERE \"Row\" = ANY($1::bigint[]) ORDER BY \"Row\"")
                   .arg(qualified(folder)),
            { ids }, [&](const Result& r) {
                const qint64 rowid = r.int64(0, 0);
                while (i < end && rows[i].rowid != rowid)
                    ++i;
                if (i == end)
                    return true;
                PictureRow row = rows[i++];
                const QByteArray data = r.isNull(0, 1) ? QByteArray() : r.bytes(0, 1);
                row.size = data.size();
                more = picture(row, data);
                return more;
            });
        if (!more)
            return;
        next = end;
    }
}

// --- the tree

Store::Tree PgStore::readTree()
{
    const Result r = run(QStringLiteral("SELECT \"Blob\", \"Version\" FROM %1 ORDER BY \"Row\" "
                                        "LIMIT 1")
                             .arg(qualified(QStringLiteral("blob"))),
        {}, {}, true);
    Tree tree;
    if (r.rows() == 0)
        return tree;
    tree.stream = r.isNull(0, 0) ? QByteArray() : r.bytes(0, 0);
    tree.version = r.int64(0, 1);
    return tree;
}

Store::TreeSave PgStore::saveTree(const QByteArray& bytes, qint64 basedOn, qint64* newVersion)
{
    TreeSave outcome = TreeSave::Saved;
    if (m_treeUndone && m_treeUndone->first == basedOn)
        basedOn = m_treeUndone->second;
    atomically([&] {
        // Clients adding the first row wait for each other here.
        run(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE")
                .arg(qualified(QStringLiteral("blob"))));
        const Tree stored = readTree();
        if (stored.version != basedOn) {
            outcome = TreeSave::Conflict;
            return;
        }
        const QByteArray data = bytes.isNull() ? QByteArray("") : bytes;
        const QString table = qualified(QStringLiteral("blob"));
        // The first row gets the stream, or a new row when there is none.
        Result r = run(QStringLiteral("UPDATE %1 SET \"Blob\"=$1, \"Version\"=\"Version\"+1 "
                                      "WHERE \"Row\"=(SELECT min(\"Row\") FROM %1) "
                                      "RETURNING \"Version\"")
                           .arg(table),
            { data }, { true }, true);
        if (r.rows() == 0)
            r = run(QStringLiteral("INSERT INTO %1 (\"Blob\", \"Version\") VALUES ($1, 1) "
                                   "RETURNING \"Version\"")
                        .arg(table),
                { data }, { true }, true);
        const qint64 saved = r.int64(0, 0);
        if (newVersion)
            *newVersion = saved;
        if (m_inTransaction) {
            if (m_treeSavedAs < 0)
                m_treeSavedOn = basedOn;
            m_treeSavedAs = saved;
        }
        m_treeUndone.reset();
        notify(QStringLiteral("tree"));
    });
    return outcome;
}

void PgStore::writeTreeStream(const QByteArray& bytes)
{
    for (;;) {
        if (saveTree(bytes, readTree().version) == TreeSave::Saved)
            return;
    }
}

// --- notifications

void PgStore::listen()
{
    run(QStringLiteral("LISTEN ") + Store::quoted(QLatin1String(kChannel)));
    m_listening = true;
}

QList<Store::Notification> PgStore::takeNotifications()
{
    QList<Notification> found;
    PQconsumeInput(m_conn);
    const QString prefix = m_schema + QLatin1Char('\n');
    while (PGnotify* n = PQnotifies(m_conn)) {
        const QString payload = QString::fromUtf8(n->extra);
        const bool own = n->be_pid == PQbackendPID(m_conn);
        PQfreemem(n);
        if (own || !payload.startsWith(prefix))
            continue;
        const QString what = payload.mid(prefix.size());
        Notification notification;
        if (what == QLatin1String("tree"))
            notification.tree = true;
        else if (what.startsWith(QLatin1String("folder\n")))
            notification.folder = what.mid(7);
        else
            continue;
        found.append(notification);
    }
    return found;
}

int PgStore::socket() const
{
    return PQsocket(m_conn);
}

// --- fingerprints

namespace {

const char kFingerprintFunction[] = "Zarvo fingerprint rows";

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

bool PgStore::hasFingerprints()
{
    // Another program may build them at any time; once there, they stay.
    if (!m_fingerprints)
        m_fingerprints = !exec(QStringLiteral("SELECT 1 FROM pg_class c JOIN pg_namespace n ON "
                                              "n.oid=c.relnamespace WHERE n.nspname=$1 AND "
                                              "c.relname=$2"),
            { m_schema, kFingerprintTable })
                              .isEmpty();
    return m_fingerprints;
}

void PgStore::addFingerprintTriggers(const QString& folder)
{
    const QString function = qualified(QLatin1String(kFingerprintFunction));
    run(QStringLiteral("CREATE TRIGGER \"Zarvo fingerprints added\" AFTER INSERT ON %1 "
                       "REFERENCING NEW TABLE AS changed FOR EACH STATEMENT EXECUTE FUNCTION %2()")
            .arg(qualified(folder), function));
    run(QStringLiteral("CREATE TRIGGER \"Zarvo fingerprints gone\" AFTER DELETE ON %1 "
                       "REFERENCING OLD TABLE AS changed FOR EACH STATEMENT EXECUTE FUNCTION %2()")
            .arg(qualified(folder), function));
}

bool PgStore::buildFingerprints(const std::function<bool(qint64 done, qint64 total)>& progress)
{
    if (hasFingerprints())
        return true;
    // Folder tables: every table but the tree table with rows that have a "Row" and a "Blob".
    QStringList folders;
    qint64 total = 0;
    for (const QString& table : tableNames()) {
        if (table == QLatin1String("blob"))
            continue;
        try {
            run(QStringLiteral("SELECT \"Row\", \"Blob\" FROM %1 LIMIT 0").arg(qualified(table)));
            total += rowCount(table);
            folders.append(table);
        } catch (const Error& e) {
            qCDebug(lcStore) << "table" << table << "has no pictures to fingerprint:" << e.what();
        }
    }
    const QString fingerprints = qualified(kFingerprintTable);
    Transaction transaction(*this);
    run(QStringLiteral("CREATE TABLE %1 (\"Row\" bigint PRIMARY KEY, \"Table\" oid NOT NULL, "
                       "\"Hash\" bytea NOT NULL, \"Size\" bigint NOT NULL)")
            .arg(fingerprints));
    run(QStringLiteral("CREATE INDEX %1 ON %2 (\"Hash\", \"Size\")")
            .arg(Store::quoted(freeRelationName(QStringLiteral("Fingerprint index "))),
                fingerprints));
    // One function for every folder table's triggers: rows a statement added are fingerprinted
    // on the server, rows it deleted forgotten.
    run(QStringLiteral(
        "CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $zarvo$ BEGIN "
        "IF TG_OP = 'INSERT' THEN "
        "INSERT INTO %2 SELECT \"Row\", TG_RELID, sha256(coalesce(\"Blob\", ''::bytea)), "
        "coalesce(octet_length(\"Blob\"), 0) FROM changed "
        "ON CONFLICT (\"Row\") DO UPDATE SET \"Table\"=EXCLUDED.\"Table\", "
        "\"Hash\"=EXCLUDED.\"Hash\", \"Size\"=EXCLUDED.\"Size\"; "
        "ELSE DELETE FROM %2 WHERE \"Row\" IN (SELECT \"Row\" FROM changed); END IF; "
        "RETURN NULL; END $zarvo$")
            .arg(qualified(QLatin1String(kFingerprintFunction)), fingerprints));
    qint64 done = 0;
    if (progress && !progress(done, total))
        return false;
    for (const QString& folder : std::as_const(folders)) {
        addFingerprintTriggers(folder);
        run(QStringLiteral("INSERT INTO %1 SELECT \"Row\", %2::regclass::oid, "
                           "sha256(coalesce(\"Blob\", ''::bytea)), "
                           "coalesce(octet_length(\"Blob\"), 0) FROM %3")
                .arg(fingerprints, QStringLiteral("$1"), qualified(folder)),
            { qualified(folder).toUtf8() });
        done += rowCount(folder);
        if (progress && !progress(done, total))
            return false; // rolled back
    }
    transaction.commit();
    return true;
}

std::optional<QString> PgStore::nameAt(const QString& folder, qint64 row)
{
    const Result r = run(
        QStringLiteral("SELECT \"Name\" FROM %1 WHERE \"Row\"=$1::bigint").arg(qualified(folder)),
        { QByteArray::number(row) });
    if (r.rows() == 0)
        return std::nullopt;
    return r.text(0, 0);
}

std::optional<StoredPicture> PgStore::findSameBytes(const QByteArray& bytes, const QString& folder)
{
    if (!hasFingerprints())
        return std::nullopt;
    // The table by its oid, so that a renamed folder keeps its fingerprints; a dropped one's
    // are left behind and never match.
    const Result r
        = run(QStringLiteral("SELECT c.relname, f.\"Row\" FROM %1 f JOIN pg_class c ON "
                             "c.oid=f.\"Table\" WHERE f.\"Hash\"=$1 AND "
                             "f.\"Size\"=$2::bigint%2 ORDER BY f.\"Row\"")
                  .arg(qualified(kFingerprintTable),
                      folder.isEmpty() ? QString()
                                       : QStringLiteral(" AND %1=%2")
                                             .arg(folded(QStringLiteral("c.relname::text")),
                                                 folded(QStringLiteral("$3")))),
            folder.isEmpty() ? QList<QByteArray> { sha256(bytes), QByteArray::number(bytes.size()) }
                             : QList<QByteArray> { sha256(bytes), QByteArray::number(bytes.size()),
                                 folder.toUtf8() },
            { true, false, false });
    for (int i = 0; i < r.rows(); ++i) {
        const QString table = r.text(i, 0);
        const qint64 row = r.text(i, 1).toLongLong();
        try {
            if (readBlob(table, row) != bytes)
                continue;
            if (const std::optional<QString> name = nameAt(table, row))
                return StoredPicture { table, row, *name };
        } catch (const Error& e) {
            qCDebug(lcStore) << "fingerprinted picture" << table << row << "is gone:" << e.what();
        }
    }
    return std::nullopt;
}

std::vector<PictureFingerprint> PgStore::fingerprints(
    const QString& folder, qint64 after, int limit)
{
    std::vector<PictureFingerprint> prints;
    if (limit <= 0 || !hasFingerprints())
        return prints;
    // The folder's table by its oid, as the triggers record it.
    const Result r = run(QStringLiteral("SELECT \"Row\", \"Hash\", \"Size\" FROM %1 WHERE "
                                        "\"Table\"=$1::regclass::oid AND \"Row\">$2::bigint "
                                        "ORDER BY \"Row\" LIMIT $3::integer")
                             .arg(qualified(kFingerprintTable)),
        { qualified(folder).toUtf8(), QByteArray::number(after), QByteArray::number(limit) }, {},
        true);
    prints.reserve(size_t(r.rows()));
    for (int i = 0; i < r.rows(); ++i)
        prints.push_back({ r.int64(i, 0), r.bytes(i, 1), r.int64(i, 2) });
    return prints;
}

QList<DuplicateGroup> PgStore::duplicateGroups()
{
    QList<DuplicateGroup> groups;
    if (!hasFingerprints())
        return groups;
    const Result r = run(QStringLiteral("SELECT encode(f.\"Hash\", 'hex'), f.\"Size\", c.relname, "
                                        "f.\"Row\" FROM %1 f JOIN pg_class c ON c.oid=f.\"Table\" "
                                        "WHERE (f.\"Hash\", f.\"Size\") IN (SELECT \"Hash\", "
                                        "\"Size\" FROM %1 GROUP BY 1, 2 HAVING count(*)>1) "
                                        "ORDER BY 1, 2, 3, 4")
                             .arg(qualified(kFingerprintTable)));
    for (int i = 0; i < r.rows();) {
        // Rows of one fingerprint; each distinct content among them makes a set of its own.
        int end = i;
        while (end < r.rows() && r.text(end, 0) == r.text(i, 0) && r.text(end, 1) == r.text(i, 1))
            ++end;
        const qint64 size = r.text(i, 1).toLongLong();
        std::vector<std::pair<QByteArray, DuplicateGroup>> found;
        for (int k = i; k < end; ++k) {
            const QString table = r.text(k, 2);
            const qint64 row = r.text(k, 3).toLongLong();
            try {
                const std::optional<QString> name = nameAt(table, row);
                if (!name)
                    continue;
                const QByteArray data = readBlob(table, row);
                const StoredPicture picture { table, row, *name };
                auto same = std::find_if(
                    found.begin(), found.end(), [&](const auto& f) { return f.first == data; });
                if (same == found.end())
                    found.push_back({ data, DuplicateGroup { size, { picture } } });
                else
                    same->second.pictures.append(picture);
            } catch (const Error& e) {
                qCDebug(lcStore) << "fingerprinted picture" << table << row
                                 << "is gone:" << e.what();
            }
        }
        for (auto& [data, group] : found)
            if (group.pictures.size() > 1)
                groups.append(std::move(group));
        i = end;
    }
    sortLargestFirst(groups);
    return groups;
}

} // namespace zarvo
