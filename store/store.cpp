// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/store.h"

#include "store/gbtext.h"
#include "store/logging.h"
#include "store/popups.h"
#include "store/storelock.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <vector>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Store)
};

constexpr int kBusyTimeoutMs = 2000;
// Page 1 of a store carries this in its header, written by `zarvoctl init` ("Zrvo").
constexpr int kApplicationId = 0x5a72766f;

std::string utf8(const QString& text)
{
    return text.toStdString();
}

QString text(const SQLite::Column& column)
{
    const char* p = static_cast<const char*>(column.getBlob());
    return p ? QString::fromUtf8(p, column.getBytes()) : QString();
}

QByteArray bytes(const SQLite::Column& column)
{
    const char* p = static_cast<const char*>(column.getBlob());
    return p ? QByteArray(p, column.getBytes()) : QByteArray();
}

// The byte size of `Blob` without reading the bytes (length() of a BLOB reads only its header).
const char* const kBlobSize = "CASE typeof(Blob) WHEN 'blob' THEN length(Blob) WHEN 'null' THEN 0 "
                              "ELSE length(CAST(Blob AS BLOB)) END";

PictureRow pictureRow(const SQLite::Statement& query)
{
    PictureRow row;
    row.rowid = query.getColumn(0).getInt64();
    row.name = text(query.getColumn(1));
    row.come = text(query.getColumn(2));
    row.size = query.getColumn(3).getInt64();
    return row;
}

void bindText(SQLite::Statement& query, int index, const QString& value)
{
    query.bind(index, utf8(value));
}

// The tree table `blob` is read as one row; it gets no name index.
bool isTreeTable(const QString& table)
{
    return equalsFoldingAsciiLetters(table, QStringLiteral("blob"));
}

// A name "Name index N" that no table, view, index or trigger has (SQLite folds A-Z in them).
QString freeIndexName(SQLite::Database& db)
{
    SQLite::Statement query(db, "SELECT lower(name) FROM sqlite_schema");
    QSet<QString> taken;
    while (query.executeStep())
        taken.insert(text(query.getColumn(0)));
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Name index %1").arg(n);
        if (!taken.contains(name.toLower()))
            return name;
    }
}

} // namespace

Store::Store(
    const QString& path, std::shared_ptr<StoreLock> lock, std::unique_ptr<SQLite::Database> db)
    : m_path(path)
    , m_lock(std::move(lock))
    , m_db(std::move(db))
{
}

Store::Transaction::Transaction(Store& store)
    : m_transaction(std::make_unique<SQLite::Transaction>(*store.m_db))
{
}

Store::Transaction::~Transaction() = default;

void Store::Transaction::commit()
{
    m_transaction->commit();
}

Store::~Store() = default;

Store::Opened Store::open(const QString& path, std::shared_ptr<StoreLock> lock)
{
    Opened result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = OpenError::Missing;
        return result;
    }
    if (!info.isFile() || info.size() == 0) {
        result.error = OpenError::NotADatabase;
        result.detail = QStringLiteral("not a store file");
        return result;
    }
    if (!lock) {
        StoreLock::Failure failure = StoreLock::Failure::None;
        lock = StoreLock::acquire(path, &result.detail, &failure);
        if (!lock) {
            switch (failure) {
            case StoreLock::Failure::InUse:
                result.error = OpenError::Locked;
                break;
            case StoreLock::Failure::CannotLock:
                result.error = OpenError::CannotLock;
                break;
            default:
                result.error = info.isReadable() && !info.isWritable() ? OpenError::ReadOnly
                                                                       : OpenError::NotADatabase;
            }
            return result;
        }
    }
    try {
        auto db = std::make_unique<SQLite::Database>(
            utf8(path), SQLite::OPEN_READWRITE, kBusyTimeoutMs);
        // SQLite opens any file; the first read tells whether it is a database.
        SQLite::Statement probe(*db, "SELECT count(*) FROM sqlite_schema");
        probe.executeStep();
        if (sqlite3_db_readonly(db->getHandle(), "main") == 1) {
            result.error = OpenError::ReadOnly;
            result.detail = QStringLiteral("the store can only be read");
            return result;
        }
        result.store.reset(new Store(path, std::move(lock), std::move(db)));
    } catch (const std::exception& e) {
        result.error = OpenError::NotADatabase;
        result.detail = QString::fromUtf8(e.what());
    }
    return result;
}

bool Store::create(const QString& path, QString* error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("a file of that name exists");
        return false;
    }
    try {
        SQLite::Database db(utf8(path), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        // Large pages make picture-sized BLOBs much faster to write and read; the page size
        // must be set before anything is written.
        db.exec("PRAGMA page_size=65536");
        db.exec("PRAGMA application_id=" + std::to_string(kApplicationId));
        return true;
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
}

void Store::close()
{
    m_db.reset();
}

QString Store::quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QStringList Store::tableNames()
{
    SQLite::Statement query(*m_db,
        "SELECT name FROM sqlite_schema WHERE type IN ('table','view') "
        "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
    QStringList names;
    while (query.executeStep())
        names.append(text(query.getColumn(0)));
    return names;
}

QString Store::existingTableName(const QString& name)
{
    const QStringList names = tableNames();
    for (const QString& table : names)
        if (equalsFoldingAsciiLetters(table, name))
            return table;
    return {};
}

bool Store::TableExists(const QString& name)
{
    return !existingTableName(name).isNull();
}

bool Store::CreateFolderTable(const QString& name, Popups& popups)
{
    try {
        if (TableExists(name))
            return true;
        if (name.isEmpty() || name.contains(QChar(0)))
            throw std::invalid_argument("no table can have that name");
        // The table and its name index come together or not at all; a savepoint nests inside a
        // caller's transaction.
        m_db->exec("SAVEPOINT create_folder");
        try {
            dropIndexNamed(name);
            m_db->exec(utf8(QStringLiteral(
                "CREATE TABLE %1(Name varchar(20), Come varchar(150), Blob OLEObject)")
                                .arg(quoted(name))));
            createNameIndex(name);
            m_db->exec("RELEASE create_folder");
        } catch (...) {
            try {
                m_db->exec("ROLLBACK TO create_folder");
                m_db->exec("RELEASE create_folder");
            } catch (const std::exception&) {
                // The connection keeps what SQLite rolled back by itself.
            }
            throw;
        }
        m_nameIndexChecked.insert(name);
        return true;
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "creating table" << name << "failed:" << e.what();
        popups.popup(PopupKind::Warning, Texts::tr("文件夹 %1 创建失败").arg(name));
        return false;
    }
}

void Store::createTreeTable()
{
    m_db->exec("CREATE TABLE blob(Name varchar(20), Blob OLEObject)");
}

void Store::dropTable(const QString& name)
{
    // The table's indexes go with it.
    m_db->exec(utf8(QStringLiteral("DROP TABLE ") + quoted(name)));
    m_nameIndexChecked.clear();
}

void Store::renameTable(const QString& from, const QString& to)
{
    // The table keeps its indexes, under their names.
    dropIndexNamed(to);
    m_db->exec(utf8(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(to))));
    m_nameIndexChecked.clear();
}

bool Store::hasNameIndex(const QString& table)
{
    SQLite::Statement query(*m_db,
        "SELECT count(*) FROM pragma_index_list(?1) AS l, pragma_index_xinfo(l.name) AS x "
        "WHERE l.partial=0 AND x.seqno=0 AND x.name='Name' COLLATE NOCASE "
        "AND x.coll='NOCASE' COLLATE NOCASE");
    bindText(query, 1, table);
    query.executeStep();
    return query.getColumn(0).getInt() > 0;
}

void Store::createNameIndex(const QString& folder)
{
    m_db->exec(utf8(QStringLiteral("CREATE INDEX %1 ON %2(Name COLLATE NOCASE)")
                        .arg(quoted(freeIndexName(*m_db)), quoted(folder))));
}

void Store::ensureNameIndex(const QString& folder)
{
    // Inside a caller's transaction a failure could take the caller's work with it (SQLite rolls
    // back the whole transaction on a full disk); the next lookup outside one makes the index.
    if (m_nameIndexRefused || isTreeTable(folder) || m_nameIndexChecked.contains(folder)
        || sqlite3_get_autocommit(m_db->getHandle()) == 0)
        return;
    m_nameIndexChecked.insert(folder);
    // A store that another program holds is left alone rather than waited for.
    sqlite3_busy_timeout(m_db->getHandle(), 0);
    try {
        if (!hasNameIndex(folder))
            createNameIndex(folder);
    } catch (const SQLite::Exception& e) {
        qCDebug(lcStore) << "no name index for" << folder << ":" << e.what();
        // A plain error belongs to this table (a view, no `Name` column); anything else (read
        // only, busy, full, I/O) to the whole store, so no other table tries again.
        if (e.getErrorCode() != SQLITE_ERROR)
            m_nameIndexRefused = true;
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "no name index for" << folder << ":" << e.what();
        m_nameIndexRefused = true;
    }
    sqlite3_busy_timeout(m_db->getHandle(), kBusyTimeoutMs);
}

void Store::dropIndexNamed(const QString& name)
{
    SQLite::Statement query(
        *m_db, "SELECT name FROM sqlite_schema WHERE type='index' AND lower(name)=lower(?1)");
    bindText(query, 1, name);
    if (!query.executeStep())
        return;
    const QString index = text(query.getColumn(0));
    query.reset();
    m_db->exec(utf8(QStringLiteral("DROP INDEX ") + quoted(index)));
    m_nameIndexChecked.clear(); // its table makes it anew on the next lookup
}

void Store::copyFolderRows(const QString& to, const QString& from)
{
    m_db->exec(utf8(QStringLiteral(
        "INSERT INTO %1(Name,Come,Blob) SELECT Name,Come,Blob FROM %2 ORDER BY rowid")
                        .arg(quoted(to), quoted(from))));
}

int Store::deletePicture(const QString& folder, const QString& name)
{
    ensureNameIndex(folder);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("DELETE FROM %1 WHERE Name=? COLLATE NOCASE").arg(quoted(folder))));
    bindText(query, 1, name);
    return query.exec();
}

int Store::renamePicture(const QString& folder, const QString& newName, const QString& oldName)
{
    ensureNameIndex(folder);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("UPDATE %1 SET Name=? WHERE Name=? COLLATE NOCASE")
                 .arg(quoted(folder))));
    bindText(query, 1, newName);
    bindText(query, 2, oldName);
    return query.exec();
}

int Store::pastePicture(
    const QString& target, const QString& newName, const QString& source, const QString& name)
{
    ensureNameIndex(source);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("INSERT INTO %1(Name,Come,Blob) SELECT ?,Come,Blob FROM %2 "
                            "WHERE Name=? COLLATE NOCASE ORDER BY rowid")
                 .arg(quoted(target), quoted(source))));
    bindText(query, 1, newName);
    bindText(query, 2, name);
    return query.exec();
}

QList<PictureRow> Store::pictureRows(const QString& folder)
{
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT rowid, Name, Come, %1 FROM %2 ORDER BY rowid")
                 .arg(QLatin1String(kBlobSize), quoted(folder))));
    QList<PictureRow> rows;
    while (query.executeStep())
        rows.append(pictureRow(query));
    return rows;
}

QList<PictureRow> Store::pictureRows(const QString& folder, qint64 after, int limit)
{
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT rowid, Name, Come, %1 FROM %2 WHERE rowid > ? ORDER BY rowid "
                            "LIMIT ?")
                 .arg(QLatin1String(kBlobSize), quoted(folder))));
    query.bind(1, static_cast<int64_t>(after));
    query.bind(2, limit);
    QList<PictureRow> rows;
    while (query.executeStep())
        rows.append(pictureRow(query));
    return rows;
}

QStringList Store::pictureNames(const QString& folder)
{
    ensureNameIndex(folder);
    // In the name index's order, SQLite reads the index alone (rowid and Name are in it) instead
    // of every table page; the rows are put back in rowid order here.
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT rowid, Name FROM %1 ORDER BY Name COLLATE NOCASE, rowid")
                 .arg(quoted(folder))));
    std::vector<std::pair<qint64, QString>> rows;
    while (query.executeStep())
        rows.emplace_back(query.getColumn(0).getInt64(), text(query.getColumn(1)));
    std::sort(
        rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList names;
    names.reserve(qsizetype(rows.size()));
    for (auto& row : rows)
        names.append(std::move(row.second));
    return names;
}

qint64 Store::rowCount(const QString& folder)
{
    SQLite::Statement query(
        *m_db, utf8(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(folder))));
    query.executeStep();
    return query.getColumn(0).getInt64();
}

std::optional<PictureRow> Store::locate(const QString& folder, const QString& name)
{
    ensureNameIndex(folder);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT rowid, Name, Come, %1 FROM %2 "
                            "WHERE Name=? COLLATE NOCASE ORDER BY rowid LIMIT 1")
                 .arg(QLatin1String(kBlobSize), quoted(folder))));
    bindText(query, 1, name);
    if (!query.executeStep())
        return std::nullopt;
    return pictureRow(query);
}

QByteArray Store::readBlob(const QString& folder, qint64 rowid)
{
    // Incremental BLOB I/O reads the pages straight into the result, without a second copy
    // through SQLite's value buffer. NULL, numbers, empty values and missing rows take the
    // statement below.
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(m_db->getHandle(), "main", utf8(folder).c_str(), "Blob", rowid, 0, &blob)
        == SQLITE_OK) {
        const int size = sqlite3_blob_bytes(blob);
        QByteArray data(size, Qt::Uninitialized);
        const int rc = size > 0 ? sqlite3_blob_read(blob, data.data(), size, 0) : SQLITE_EMPTY;
        sqlite3_blob_close(blob);
        if (rc == SQLITE_OK)
            return data;
    } else if (blob) {
        sqlite3_blob_close(blob);
    }
    SQLite::Statement query(
        *m_db, utf8(QStringLiteral("SELECT Blob FROM %1 WHERE rowid=?").arg(quoted(folder))));
    query.bind(1, static_cast<int64_t>(rowid));
    if (!query.executeStep())
        throw SQLite::Exception("the picture is no longer in its folder");
    return bytes(query.getColumn(0));
}

qint64 Store::appendPicture(
    const QString& folder, const QString& name, const QString& come, const QByteArray& data)
{
    if (data.size() > kMaxBlobBytes)
        throw SQLite::Exception("the picture is too large for the store", SQLITE_TOOBIG);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("INSERT INTO %1(Name,Come,Blob) VALUES(?,?,?)").arg(quoted(folder))));
    bindText(query, 1, name);
    bindText(query, 2, come);
    // constData() is never null, so an empty file is stored as an empty BLOB, not as NULL.
    query.bindNoCopy(3, static_cast<const void*>(data.constData()), static_cast<int>(data.size()));
    query.exec();
    return m_db->getLastInsertRowid();
}

QByteArray Store::readTreeStream()
{
    SQLite::Statement query(*m_db, "SELECT Blob FROM blob ORDER BY rowid LIMIT 1");
    if (!query.executeStep())
        return {};
    return bytes(query.getColumn(0));
}

void Store::writeTreeStream(const QByteArray& data)
{
    // A savepoint, not a transaction: it nests inside a caller's transaction (a folder rename or
    // drop together with the tree) and stands alone otherwise.
    m_db->exec("SAVEPOINT tree_stream");
    try {
        writeFirstTreeRow(data);
        m_db->exec("RELEASE tree_stream");
    } catch (...) {
        try {
            m_db->exec("ROLLBACK TO tree_stream");
            m_db->exec("RELEASE tree_stream");
        } catch (const std::exception&) {
            // The connection keeps what SQLite rolled back by itself.
        }
        throw;
    }
}

void Store::writeFirstTreeRow(const QByteArray& data)
{
    SQLite::Statement first(*m_db, "SELECT rowid FROM blob ORDER BY rowid LIMIT 1");
    const bool hasRow = first.executeStep();
    const int64_t rowid = hasRow ? first.getColumn(0).getInt64() : 0;
    first.reset();
    SQLite::Statement write(*m_db,
        hasRow ? "UPDATE blob SET Blob=? WHERE rowid=?" : "INSERT INTO blob(Blob) VALUES(?)");
    write.bindNoCopy(1, static_cast<const void*>(data.constData()), static_cast<int>(data.size()));
    if (hasRow)
        write.bind(2, rowid);
    write.exec();
}

} // namespace zarvo
