// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/sqlitestore.h"

#include "store/fingerprint.h"
#include "store/gbtext.h"
#include "store/logging.h"
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

// The index that finds pictures by fingerprint; its name, too, no folder can take.
const char* const kFingerprintIndex = "Zarvo fingerprint lookup";

} // namespace

const QString Store::kFingerprintTable = QStringLiteral("Zarvo picture fingerprints");

SqliteStore::SqliteStore(
    const QString& path, std::shared_ptr<StoreLock> lock, std::unique_ptr<SQLite::Database> db)
    : m_path(path)
    , m_lock(std::move(lock))
    , m_db(std::move(db))
{
}

void SqliteStore::beginTransaction()
{
    m_db->exec("BEGIN");
}

void SqliteStore::commitTransaction()
{
    m_db->exec("COMMIT");
}

void SqliteStore::rollbackTransaction() noexcept
{
    try {
        m_db->exec("ROLLBACK");
    } catch (const std::exception& e) {
        // SQLite has rolled back by itself (a full disk, an I/O error).
        qCDebug(lcStore) << "rolling back failed:" << e.what();
    }
}

SqliteStore::~SqliteStore() = default;

SqliteStore::Opened SqliteStore::open(const QString& path, std::shared_ptr<StoreLock> lock)
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
        result.store.reset(new SqliteStore(path, std::move(lock), std::move(db)));
    } catch (const std::exception& e) {
        result.error = OpenError::NotADatabase;
        result.detail = QString::fromUtf8(e.what());
    }
    return result;
}

bool SqliteStore::create(const QString& path, QString* error)
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

void SqliteStore::close()
{
    m_db.reset();
}

QString Store::quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QStringList SqliteStore::tableNames()
{
    SQLite::Statement query(*m_db,
        "SELECT name FROM sqlite_schema WHERE type IN ('table','view') "
        "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND name<>?1 ORDER BY rowid");
    bindText(query, 1, kFingerprintTable);
    QStringList names;
    while (query.executeStep())
        names.append(text(query.getColumn(0)));
    return names;
}

QString SqliteStore::existingTableName(const QString& name)
{
    const QStringList names = tableNames();
    for (const QString& table : names)
        if (equalsFoldingAsciiLetters(table, name))
            return table;
    return {};
}

bool SqliteStore::TableExists(const QString& name)
{
    return !existingTableName(name).isNull();
}

QString Store::createFailedText(const QString& name)
{
    return Texts::tr("文件夹 %1 创建失败").arg(name);
}

bool SqliteStore::CreateFolderTable(const QString& name)
{
    try {
        if (TableExists(name))
            return true;
        if (name.isEmpty() || name.contains(QChar(0)))
            throw std::invalid_argument("no table can have that name");
        // The table and its name index come together or not at all; a savepoint nests inside a
        // caller's transaction.
        inSavepoint("create_folder", [&] {
            dropIndexNamed(name);
            m_db->exec(utf8(QStringLiteral(
                "CREATE TABLE %1(Name varchar(20), Come varchar(150), Blob OLEObject)")
                                .arg(quoted(name))));
            createNameIndex(name);
        });
        m_nameIndexChecked.insert(name);
        return true;
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "creating table" << name << "failed:" << e.what();
        return false;
    }
}

void SqliteStore::createTreeTable()
{
    m_db->exec("CREATE TABLE blob(Name varchar(20), Blob OLEObject)");
}

void SqliteStore::dropTable(const QString& name)
{
    // The table's indexes go with it.
    inSavepoint("drop_table", [&] {
        if (hasFingerprints()) {
            SQLite::Statement forget(*m_db,
                utf8(QStringLiteral("DELETE FROM %1 WHERE Folder=?1")
                         .arg(quoted(kFingerprintTable))));
            bindText(forget, 1, name);
            forget.exec();
        }
        m_db->exec(utf8(QStringLiteral("DROP TABLE ") + quoted(name)));
    });
    m_nameIndexChecked.clear();
}

void SqliteStore::renameTable(const QString& from, const QString& to)
{
    // The table keeps its indexes, under their names.
    inSavepoint("rename_table", [&] {
        dropIndexNamed(to);
        m_db->exec(
            utf8(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(to))));
        if (hasFingerprints()) {
            SQLite::Statement move(*m_db,
                utf8(QStringLiteral("UPDATE %1 SET Folder=?1 WHERE Folder=?2")
                         .arg(quoted(kFingerprintTable))));
            bindText(move, 1, to);
            bindText(move, 2, from);
            move.exec();
        }
    });
    m_nameIndexChecked.clear();
}

std::vector<std::pair<QString, QString>> SqliteStore::nameIndexes(const QString& table)
{
    SQLite::Statement query(*m_db,
        "SELECT l.name, (SELECT y.name FROM pragma_index_info(l.name) AS y WHERE y.seqno=1) "
        "FROM pragma_index_list(?1) AS l, pragma_index_xinfo(l.name) AS x WHERE l.partial=0 "
        "AND x.seqno=0 AND x.name='Name' COLLATE NOCASE AND x.coll='NOCASE' COLLATE NOCASE");
    bindText(query, 1, table);
    std::vector<std::pair<QString, QString>> indexes;
    while (query.executeStep())
        indexes.emplace_back(text(query.getColumn(0)), text(query.getColumn(1)));
    return indexes;
}

bool SqliteStore::hasNameIndex(const QString& table)
{
    const auto indexes = nameIndexes(table);
    return std::any_of(indexes.begin(), indexes.end(), [](const auto& index) {
        return index.second.compare(QLatin1String("Come"), Qt::CaseInsensitive) == 0;
    });
}

void SqliteStore::createNameIndex(const QString& folder)
{
    m_db->exec(utf8(QStringLiteral("CREATE INDEX %1 ON %2(Name COLLATE NOCASE, Come)")
                        .arg(quoted(freeIndexName(*m_db)), quoted(folder))));
}

void SqliteStore::replaceNameIndex(const QString& folder)
{
    inSavepoint("name_index", [&] {
        // The index on `Name` alone that earlier versions made: the new one serves its lookups.
        for (const auto& [index, second] : nameIndexes(folder)) {
            if (second.isNull()
                && index.startsWith(QLatin1String("Name index "), Qt::CaseInsensitive))
                m_db->exec(utf8(QStringLiteral("DROP INDEX ") + quoted(index)));
        }
        createNameIndex(folder);
    });
}

void SqliteStore::ensureNameIndex(const QString& folder)
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
            replaceNameIndex(folder);
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

void SqliteStore::dropIndexNamed(const QString& name)
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

void SqliteStore::copyFolderRows(const QString& to, const QString& from)
{
    inSavepoint("copy_rows", [&] {
        const bool fingerprints = hasFingerprints();
        const qint64 before = fingerprints ? maxRowid(to) : 0;
        m_db->exec(utf8(QStringLiteral(
            "INSERT INTO %1(Name,Come,Blob) SELECT Name,Come,Blob FROM %2 ORDER BY rowid")
                            .arg(quoted(to), quoted(from))));
        if (fingerprints)
            copyFingerprints(to, rowids(to, before), from, rowids(from));
    });
}

int SqliteStore::deletePicture(const QString& folder, const QString& name)
{
    ensureNameIndex(folder);
    int deleted = 0;
    inSavepoint("delete_picture", [&] {
        if (hasFingerprints()) {
            SQLite::Statement forget(*m_db,
                utf8(QStringLiteral("DELETE FROM %1 WHERE Folder=?1 AND Row IN "
                                    "(SELECT rowid FROM %2 WHERE Name=?2 COLLATE NOCASE)")
                         .arg(quoted(kFingerprintTable), quoted(folder))));
            bindText(forget, 1, folder);
            bindText(forget, 2, name);
            forget.exec();
        }
        SQLite::Statement query(*m_db,
            utf8(QStringLiteral("DELETE FROM %1 WHERE Name=? COLLATE NOCASE").arg(quoted(folder))));
        bindText(query, 1, name);
        deleted = query.exec();
    });
    return deleted;
}

int SqliteStore::renamePicture(
    const QString& folder, const QString& newName, const QString& oldName)
{
    ensureNameIndex(folder);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("UPDATE %1 SET Name=? WHERE Name=? COLLATE NOCASE")
                 .arg(quoted(folder))));
    bindText(query, 1, newName);
    bindText(query, 2, oldName);
    return query.exec();
}

int SqliteStore::pastePicture(
    const QString& target, const QString& newName, const QString& source, const QString& name)
{
    ensureNameIndex(source);
    int pasted = 0;
    inSavepoint("paste_picture", [&] {
        const bool fingerprints = hasFingerprints();
        const qint64 before = fingerprints ? maxRowid(target) : 0;
        std::vector<qint64> from;
        if (fingerprints) {
            SQLite::Statement named(*m_db,
                utf8(QStringLiteral(
                    "SELECT rowid FROM %1 WHERE Name=? COLLATE NOCASE ORDER BY rowid")
                         .arg(quoted(source))));
            bindText(named, 1, name);
            while (named.executeStep())
                from.push_back(named.getColumn(0).getInt64());
        }
        SQLite::Statement query(*m_db,
            utf8(QStringLiteral("INSERT INTO %1(Name,Come,Blob) SELECT ?,Come,Blob FROM %2 "
                                "WHERE Name=? COLLATE NOCASE ORDER BY rowid")
                     .arg(quoted(target), quoted(source))));
        bindText(query, 1, newName);
        bindText(query, 2, name);
        pasted = query.exec();
        if (fingerprints)
            copyFingerprints(target, rowids(target, before), source, from);
    });
    return pasted;
}

QList<PictureRow> SqliteStore::pictureRows(const QString& folder)
{
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT rowid, Name, Come, %1 FROM %2 ORDER BY rowid")
                 .arg(QLatin1String(kBlobSize), quoted(folder))));
    QList<PictureRow> rows;
    while (query.executeStep())
        rows.append(pictureRow(query));
    return rows;
}

QList<PictureRow> SqliteStore::pictureRows(const QString& folder, qint64 after, int limit)
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
    // The last slice of a table without the name index: its pages were all just read, a slice at
    // a time, so making the index now costs no second wait for the disk.
    if (rows.size() < limit)
        ensureNameIndex(folder);
    return rows;
}

QStringList SqliteStore::pictureNames(const QString& folder)
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

std::optional<QList<PictureRow>> SqliteStore::indexedPictureRows(const QString& folder)
{
    // A table without the index is read row by row (pictureRows()), and gets it then.
    if (!hasNameIndex(folder))
        return std::nullopt;
    // In the name index's order SQLite reads the index alone; the rows are put back in rowid
    // order here. Thousands of rows: read straight from SQLite, without a column object per value.
    const std::string sql = utf8(
        QStringLiteral("SELECT rowid, Name, Come FROM %1 ORDER BY Name COLLATE NOCASE, Come, rowid")
            .arg(quoted(folder)));
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(m_db->getHandle(), sql.c_str(), -1, &prepared, nullptr) != SQLITE_OK)
        throw SQLite::Exception(m_db->getHandle());
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(
        prepared, sqlite3_finalize);
    const auto textAt = [&statement](int column) {
        const char* p = static_cast<const char*>(sqlite3_column_blob(statement.get(), column));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(statement.get(), column)) : QString();
    };
    QList<PictureRow> rows;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW)
        rows.append({ sqlite3_column_int64(statement.get(), 0), textAt(1), textAt(2), 0 });
    if (step != SQLITE_DONE)
        throw SQLite::Exception(m_db->getHandle(), step);
    std::sort(rows.begin(), rows.end(),
        [](const PictureRow& a, const PictureRow& b) { return a.rowid < b.rowid; });
    return rows;
}

qint64 SqliteStore::rowCount(const QString& folder)
{
    SQLite::Statement query(
        *m_db, utf8(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(folder))));
    query.executeStep();
    return query.getColumn(0).getInt64();
}

std::optional<PictureRow> SqliteStore::locate(const QString& folder, const QString& name)
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

QByteArray SqliteStore::readBlob(const QString& folder, qint64 rowid)
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

qint64 SqliteStore::appendPicture(
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
    if (!hasFingerprints()) {
        query.exec();
        return m_db->getLastInsertRowid();
    }
    qint64 rowid = 0;
    if (sqlite3_get_autocommit(m_db->getHandle()) != 0) {
        inSavepoint("append_picture", [&] {
            query.exec();
            rowid = m_db->getLastInsertRowid();
            insertFingerprint(folder, rowid, data);
        });
        return rowid;
    }
    // Inside a caller's transaction a savepoint would copy every page it changes into a
    // statement journal (a quarter MB a picture with 64 KiB pages); the row is taken back by
    // hand instead when its fingerprint cannot be stored.
    query.exec();
    rowid = m_db->getLastInsertRowid();
    try {
        insertFingerprint(folder, rowid, data);
    } catch (...) {
        if (sqlite3_get_autocommit(m_db->getHandle()) == 0) {
            try {
                SQLite::Statement undo(*m_db,
                    utf8(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoted(folder))));
                undo.bind(1, static_cast<int64_t>(rowid));
                undo.exec();
            } catch (const std::exception& e) {
                qCDebug(lcStore) << "taking back picture" << rowid << "failed:" << e.what();
            }
        }
        throw;
    }
    return rowid;
}

Store::Tree SqliteStore::readTree()
{
    SQLite::Statement query(*m_db, "SELECT Blob FROM blob ORDER BY rowid LIMIT 1");
    if (!query.executeStep())
        return {};
    return { bytes(query.getColumn(0)), 0 };
}

Store::TreeSave SqliteStore::saveTree(const QByteArray& stream, qint64, qint64* newVersion)
{
    // The file has one program at a time: no one else can have saved meanwhile.
    writeTreeStream(stream);
    if (newVersion)
        *newVersion = 0;
    return TreeSave::Saved;
}

void SqliteStore::writeTreeStream(const QByteArray& data)
{
    // A savepoint, not a transaction: it nests inside a caller's transaction (a folder rename or
    // drop together with the tree) and stands alone otherwise.
    inSavepoint("tree_stream", [&] { writeFirstTreeRow(data); });
}

void SqliteStore::inSavepoint(const char* name, const std::function<void()>& work)
{
    m_db->exec(std::string("SAVEPOINT ") + name);
    try {
        work();
        m_db->exec(std::string("RELEASE ") + name);
    } catch (...) {
        try {
            m_db->exec(std::string("ROLLBACK TO ") + name);
            m_db->exec(std::string("RELEASE ") + name);
        } catch (const std::exception&) {
            // The connection keeps what SQLite rolled back by itself.
        }
        throw;
    }
}

void SqliteStore::writeFirstTreeRow(const QByteArray& data)
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

// ---------------------------------------------------------------- fingerprints

bool SqliteStore::hasFingerprints()
{
    if (!m_fingerprints) {
        SQLite::Statement query(
            *m_db, "SELECT count(*) FROM sqlite_schema WHERE type='table' AND name=?1");
        bindText(query, 1, kFingerprintTable);
        query.executeStep();
        m_fingerprints = query.getColumn(0).getInt() > 0;
    }
    return *m_fingerprints;
}

std::vector<qint64> SqliteStore::rowids(const QString& folder, qint64 after)
{
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT rowid FROM %1 WHERE rowid>?1 ORDER BY rowid")
                 .arg(quoted(folder))));
    query.bind(1, static_cast<int64_t>(after));
    std::vector<qint64> ids;
    while (query.executeStep())
        ids.push_back(query.getColumn(0).getInt64());
    return ids;
}

qint64 SqliteStore::maxRowid(const QString& folder)
{
    SQLite::Statement query(
        *m_db, utf8(QStringLiteral("SELECT ifnull(max(rowid),0) FROM %1").arg(quoted(folder))));
    query.executeStep();
    return query.getColumn(0).getInt64();
}

void SqliteStore::insertFingerprint(const QString& folder, qint64 rowid, const QByteArray& data)
{
    // A fingerprint left by an earlier row of that number goes first: a plain INSERT then needs
    // no statement journal, which an INSERT OR REPLACE (a write that may abort halfway) would.
    SQLite::Statement stale(*m_db,
        utf8(QStringLiteral("DELETE FROM %1 WHERE Folder=?1 AND Row=?2")
                 .arg(quoted(kFingerprintTable))));
    bindText(stale, 1, folder);
    stale.bind(2, static_cast<int64_t>(rowid));
    stale.exec();
    SQLite::Statement insert(*m_db,
        utf8(QStringLiteral("INSERT INTO %1(Folder,Row,Hash,Size) VALUES(?1,?2,?3,?4)")
                 .arg(quoted(kFingerprintTable))));
    bindText(insert, 1, folder);
    insert.bind(2, static_cast<int64_t>(rowid));
    const QByteArray hash = contentHash(data);
    insert.bind(3, static_cast<const void*>(hash.constData()), static_cast<int>(hash.size()));
    insert.bind(4, static_cast<int64_t>(data.size()));
    insert.exec();
}

void SqliteStore::copyFingerprints(const QString& to, const std::vector<qint64>& added,
    const QString& source, const std::vector<qint64>& from)
{
    SQLite::Statement copy(*m_db,
        utf8(QStringLiteral("INSERT OR REPLACE INTO %1(Folder,Row,Hash,Size) "
                            "SELECT ?1,?2,Hash,Size FROM %1 WHERE Folder=?3 AND Row=?4")
                 .arg(quoted(kFingerprintTable))));
    for (size_t i = 0; i < added.size(); ++i) {
        int copied = 0;
        if (i < from.size()) {
            copy.reset();
            bindText(copy, 1, to);
            copy.bind(2, static_cast<int64_t>(added[i]));
            bindText(copy, 3, source);
            copy.bind(4, static_cast<int64_t>(from[i]));
            copied = copy.exec();
        }
        if (copied == 0)
            insertFingerprint(to, added[i], readBlob(to, added[i]));
    }
}

bool SqliteStore::buildFingerprints(const std::function<bool(qint64 done, qint64 total)>& progress)
{
    if (hasFingerprints())
        return true;
    // Folder tables: every table but the tree table that has rows to read (views have none).
    QStringList folders;
    qint64 total = 0;
    for (const QString& table : tableNames()) {
        if (isTreeTable(table))
            continue;
        try {
            total += rowCount(table);
            SQLite::Statement probe(*m_db,
                utf8(QStringLiteral("SELECT rowid, Blob FROM %1 LIMIT 0").arg(quoted(table))));
            probe.executeStep();
            folders.append(table);
        } catch (const SQLite::Exception& e) {
            qCDebug(lcStore) << "table" << table << "has no pictures to fingerprint:" << e.what();
        }
    }
    SQLite::Transaction transaction(*m_db);
    m_db->exec(utf8(QStringLiteral("CREATE TABLE %1(Folder TEXT COLLATE NOCASE NOT NULL, "
                                   "Row INTEGER NOT NULL, Hash BLOB NOT NULL, Size INTEGER NOT "
                                   "NULL, PRIMARY KEY(Folder, Row)) WITHOUT ROWID")
                        .arg(quoted(kFingerprintTable))));
    m_db->exec(
        utf8(QStringLiteral("CREATE INDEX %1 ON %2(Hash, Size)")
                 .arg(quoted(QString::fromLatin1(kFingerprintIndex)), quoted(kFingerprintTable))));
    qint64 done = 0;
    if (progress && !progress(done, total))
        return false;
    // Each picture read once, a part at a time into one buffer and hashed as it comes; one
    // statement for every row.
    SQLite::Statement insert(*m_db,
        utf8(QStringLiteral("INSERT INTO %1(Folder,Row,Hash,Size) VALUES(?1,?2,?3,?4)")
                 .arg(quoted(kFingerprintTable))));
    ContentHasher hasher;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (const QString& folder : std::as_const(folders)) {
        const std::string table = utf8(folder);
        std::unique_ptr<sqlite3_blob, int (*)(sqlite3_blob*)> blob(nullptr, sqlite3_blob_close);
        for (const qint64 rowid : rowids(folder)) {
            hasher.reset();
            qint64 size = -1;
            sqlite3_blob* handle = blob.get();
            if (handle ? sqlite3_blob_reopen(handle, rowid) == SQLITE_OK
                       : sqlite3_blob_open(
                             m_db->getHandle(), "main", table.c_str(), "Blob", rowid, 0, &handle)
                        == SQLITE_OK) {
                if (!blob)
                    blob.reset(handle);
                size = sqlite3_blob_bytes(handle);
                for (qint64 at = 0; at < size;) {
                    const int part = int(std::min<qint64>(buffer.size(), size - at));
                    if (sqlite3_blob_read(handle, buffer.data(), part, int(at)) != SQLITE_OK) {
                        size = -1;
                        break;
                    }
                    hasher.add(buffer.constData(), part);
                    at += part;
                }
            } else if (!blob) {
                sqlite3_blob_close(handle); // a handle that failed to open may still be set
            }
            if (size < 0) {
                // NULL, a number: the value as readBlob gives it. A failed reopen leaves the
                // handle unusable.
                blob.reset();
                const QByteArray data = readBlob(folder, rowid);
                hasher.reset();
                hasher.add(data.constData(), data.size());
                size = data.size();
            }
            const QByteArray hash = hasher.result();
            insert.reset();
            bindText(insert, 1, folder);
            insert.bind(2, static_cast<int64_t>(rowid));
            insert.bind(
                3, static_cast<const void*>(hash.constData()), static_cast<int>(hash.size()));
            insert.bind(4, static_cast<int64_t>(size));
            insert.exec();
            if (progress && !progress(++done, total))
                return false; // rolled back
        }
    }
    transaction.commit();
    m_fingerprints = true;
    return true;
}

std::vector<PictureFingerprint> SqliteStore::fingerprints(
    const QString& folder, qint64 after, int limit)
{
    std::vector<PictureFingerprint> found;
    if (!hasFingerprints())
        return found;
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT Row, Hash, Size FROM %1 WHERE Folder=?1 AND Row>?2 "
                            "ORDER BY Row LIMIT ?3")
                 .arg(quoted(kFingerprintTable))));
    bindText(query, 1, folder);
    query.bind(2, static_cast<int64_t>(after));
    query.bind(3, limit);
    while (query.executeStep())
        found.push_back({ query.getColumn(0).getInt64(), bytes(query.getColumn(1)),
            query.getColumn(2).getInt64() });
    return found;
}

std::optional<StoredPicture> SqliteStore::findSameBytes(
    const QByteArray& data, const QString& folder)
{
    if (!hasFingerprints())
        return std::nullopt;
    const QByteArray hash = contentHash(data);
    SQLite::Statement query(*m_db,
        utf8(QStringLiteral("SELECT Folder, Row FROM %1 WHERE Hash=?1 AND Size=?2%2")
                 .arg(quoted(kFingerprintTable),
                     folder.isEmpty() ? QString() : QStringLiteral(" AND Folder=?3"))));
    query.bind(1, static_cast<const void*>(hash.constData()), static_cast<int>(hash.size()));
    query.bind(2, static_cast<int64_t>(data.size()));
    if (!folder.isEmpty())
        bindText(query, 3, folder);
    std::vector<std::pair<QString, qint64>> candidates;
    while (query.executeStep())
        candidates.emplace_back(text(query.getColumn(0)), query.getColumn(1).getInt64());
    query.reset();
    for (const auto& [table, rowid] : candidates) {
        try {
            if (readBlob(table, rowid) != data)
                continue;
            SQLite::Statement name(*m_db,
                utf8(QStringLiteral("SELECT Name FROM %1 WHERE rowid=?1").arg(quoted(table))));
            name.bind(1, static_cast<int64_t>(rowid));
            name.executeStep();
            return StoredPicture { table, rowid, text(name.getColumn(0)) };
        } catch (const std::exception& e) {
            qCDebug(lcStore) << "fingerprinted picture" << table << rowid << "is gone:" << e.what();
        }
    }
    return std::nullopt;
}

QList<DuplicateGroup> SqliteStore::duplicateGroups()
{
    QList<DuplicateGroup> groups;
    if (!hasFingerprints())
        return groups;
    SQLite::Statement sets(*m_db,
        utf8(QStringLiteral("SELECT Hash, Size FROM %1 GROUP BY Hash, Size HAVING count(*)>1")
                 .arg(quoted(kFingerprintTable))));
    std::vector<std::pair<QByteArray, qint64>> fingerprints;
    while (sets.executeStep())
        fingerprints.emplace_back(bytes(sets.getColumn(0)), sets.getColumn(1).getInt64());
    sets.reset();
    SQLite::Statement members(*m_db,
        utf8(QStringLiteral(
            "SELECT Folder, Row FROM %1 WHERE Hash=?1 AND Size=?2 ORDER BY Folder, Row")
                 .arg(quoted(kFingerprintTable))));
    for (const auto& [hash, size] : fingerprints) {
        members.reset();
        members.bind(1, static_cast<const void*>(hash.constData()), static_cast<int>(hash.size()));
        members.bind(2, static_cast<int64_t>(size));
        std::vector<std::pair<QString, qint64>> rows;
        while (members.executeStep())
            rows.emplace_back(text(members.getColumn(0)), members.getColumn(1).getInt64());
        // The same fingerprint almost always means the same bytes; each distinct content found
        // among the rows makes a set of its own.
        std::vector<std::pair<QByteArray, DuplicateGroup>> found;
        for (const auto& [table, rowid] : rows) {
            try {
                SQLite::Statement name(*m_db,
                    utf8(QStringLiteral("SELECT Name FROM %1 WHERE rowid=?1").arg(quoted(table))));
                name.bind(1, static_cast<int64_t>(rowid));
                if (!name.executeStep())
                    continue;
                const QByteArray data = readBlob(table, rowid);
                const StoredPicture picture { table, rowid, text(name.getColumn(0)) };
                auto same = std::find_if(
                    found.begin(), found.end(), [&](const auto& f) { return f.first == data; });
                if (same == found.end())
                    found.push_back({ data, DuplicateGroup { size, { picture } } });
                else
                    same->second.pictures.append(picture);
            } catch (const std::exception& e) {
                qCDebug(lcStore) << "fingerprinted picture" << table << rowid
                                 << "is gone:" << e.what();
            }
        }
        for (auto& [data, group] : found)
            if (group.pictures.size() > 1)
                groups.append(std::move(group));
    }
    sortLargestFirst(groups);
    return groups;
}

} // namespace zarvo
