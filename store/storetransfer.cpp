// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/storetransfer.h"

#include "store/foldertree.h"
#include "store/gbtext.h"
#include "store/pgstore.h"
#include "store/store.h"
#include "store/treestream.h"

#include <QHash>

#include <limits>
#include <type_traits>

namespace zarvo {

namespace {

const QString kMark = QStringLiteral("transfer mark");
// Rows per transaction, and bytes after which a batch ends early.
constexpr int kBatchRows = 64;
constexpr qint64 kBatchBytes = 64LL << 20;

bool isTreeTable(const QString& table)
{
    return equalsFoldingAsciiLetters(table, QStringLiteral("blob"));
}

// The mark in the target: a row with no name whose `Come` names the source, then one row per
// folder, `Name` the folder and `Blob` the rows copied, in decimal.
template <typename S> struct Mark
{
    QString source; // null: no mark
    QHash<QString, qint64> copied;

    static Mark read(S& store)
    {
        Mark mark;
        const QString table = store.existingTableName(kMark);
        if (table.isEmpty())
            return mark;
        for (const PictureRow& row : store.pictureRows(table)) {
            if (row.name.isEmpty())
                mark.source = row.come;
            else
                mark.copied[row.name] = store.readBlob(table, row.rowid).toLongLong();
        }
        if (mark.source.isNull())
            mark.source = QLatin1String("");
        return mark;
    }
};

template <typename S> void setMarkCount(S& store, const QString& folder, qint64 rows)
{
    store.deletePicture(kMark, folder);
    store.appendPicture(kMark, folder, QString(), QByteArray::number(rows));
}

// A free name in the target folder for a merged picture.
template <typename S> QString freeName(S& store, const QString& folder, const QString& name)
{
    if (name.isNull() || !store.locate(folder, name))
        return name;
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1(%2)").arg(name).arg(n);
        if (!store.locate(folder, candidate))
            return candidate;
    }
}

QByteArray mergedTree(const QByteArray& target, const QByteArray& source)
{
    FolderTree into;
    FolderTree from;
    DecodeTreeStream(target, into);
    DecodeTreeStream(source, from);
    from.forEachNode([&](QStandardItem* node) {
        if (!FolderTree::isGroup(node) && !into.findFolder(FolderTree::nodeText(node)))
            into.appendNode(nullptr, FolderTree::nodeText(node));
    });
    return EncodeTreeStream(into);
}

template <typename From, typename To>
TransferOutcome transfer(
    From& from, const QString& source, To& to, bool merge, const TransferProgress& progress)
{
    TransferOutcome outcome;
    try {
        Mark<To> mark = Mark<To>::read(to);
        if (mark.source.isNull()) {
            const QStringList existing = to.tableNames();
            if (!existing.isEmpty() && !merge) {
                outcome.result = TransferOutcome::Result::NotEmpty;
                return outcome;
            }
            // A merge is a merge on every run until it is done.
            merge = merge || !existing.isEmpty();
            typename To::Transaction transaction(to);
            if (!to.CreateFolderTable(kMark))
                throw std::runtime_error(Store::createFailedText(kMark).toStdString());
            to.appendPicture(kMark, QString(),
                (merge ? QStringLiteral("merge ") : QString()) + source, QByteArray());
            transaction.commit();
            mark.source = source;
        } else {
            const bool markedMerge = mark.source.startsWith(QLatin1String("merge "));
            if ((markedMerge ? mark.source.mid(6) : mark.source) != source) {
                outcome.result = TransferOutcome::Result::OtherMark;
                outcome.detail = markedMerge ? mark.source.mid(6) : mark.source;
                return outcome;
            }
            merge = markedMerge;
        }

        for (const QString& table : from.tableNames()) {
            if (isTreeTable(table) || equalsFoldingAsciiLetters(table, kMark))
                continue;
            ++outcome.folders;
            QString target = to.existingTableName(table);
            if (target.isEmpty()) {
                if (!to.CreateFolderTable(table))
                    throw std::runtime_error(Store::createFailedText(table).toStdString());
                target = table;
            }
            const QList<PictureRow> rows = from.pictureRows(table);
            qint64 done = mark.copied.value(table, 0);
            while (done < rows.size()) {
                typename To::Transaction transaction(to);
                qint64 bytes = 0;
                const qint64 first = done;
                const auto batchGoesOn = [&] {
                    return done < rows.size() && done - first < kBatchRows && bytes < kBatchBytes;
                };
                bool copied = false;
                if constexpr (std::is_same_v<To, PgStore>) {
                    if (!merge) {
                        // The batch in one COPY: its pictures go as they are read.
                        to.appendPictures(target, [&](PgStore::NewPicture& picture) {
                            if (!batchGoesOn())
                                return false;
                            const PictureRow& row = rows[done];
                            picture.name = row.name;
                            picture.come = row.come;
                            picture.bytes = from.readBlob(table, row.rowid);
                            bytes += picture.bytes.size();
                            ++done;
                            return true;
                        });
                        copied = true;
                    }
                }
                if constexpr (std::is_same_v<From, PgStore>) {
                    // The batch's pictures in one query, by the sizes the rows gave.
                    qsizetype n = 0;
                    for (qint64 planned = 0;
                         done + n < rows.size() && n < kBatchRows && planned < kBatchBytes; ++n)
                        planned += rows[done + n].size;
                    from.readPictures(
                        table, rows.mid(done, n),
                        [&](const PictureRow& row, const QByteArray& data) {
                            to.appendPicture(target,
                                merge ? freeName(to, target, row.name) : row.name, row.come, data);
                            return true;
                        },
                        int(n), std::numeric_limits<qint64>::max());
                    done += n;
                    copied = true;
                }
                while (!copied && batchGoesOn()) {
                    const PictureRow& row = rows[done];
                    const QByteArray data = from.readBlob(table, row.rowid);
                    to.appendPicture(
                        target, merge ? freeName(to, target, row.name) : row.name, row.come, data);
                    bytes += data.size();
                    ++done;
                }
                setMarkCount(to, table, done);
                transaction.commit();
                outcome.pictures += done - first;
                if (progress)
                    progress(table, done);
            }
        }

        typename To::Transaction transaction(to);
        if (to.existingTableName(QStringLiteral("blob")).isEmpty())
            to.createTreeTable();
        const QByteArray tree = from.readTreeStream();
        to.writeTreeStream(merge ? mergedTree(to.readTreeStream(), tree) : tree);
        to.dropTable(to.existingTableName(kMark));
        transaction.commit();
        outcome.result = TransferOutcome::Result::Done;
    } catch (const std::exception& e) {
        outcome.result = TransferOutcome::Result::Failed;
        outcome.detail = QString::fromUtf8(e.what());
    }
    return outcome;
}

} // namespace

TransferOutcome pushStore(
    Store& from, const QString& source, PgStore& to, bool merge, const TransferProgress& progress)
{
    return transfer(from, source, to, merge, progress);
}

TransferOutcome pullStore(
    PgStore& from, const QString& source, Store& to, bool merge, const TransferProgress& progress)
{
    return transfer(from, source, to, merge, progress);
}

} // namespace zarvo
