// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/addfiles.h"

#include "pictures/picturenames.h"
#include "store/logging.h"
#include "store/store.h"
#include "view/prompt.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(AddFiles)
};

// The whole file, or a null array when it cannot be read, is too large for the store or does
// not fit into memory. One open, one fstat and the reads: no more system calls per file.
QByteArray readWholeFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray data;
    try {
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= Store::kMaxBlobBytes) {
            // A file that grows while it is read is read to its end.
            data = QByteArray(qsizetype(st.st_size), Qt::Uninitialized);
            qsizetype got = 0;
            for (;;) {
                if (got == data.size())
                    data.resize(got + std::max<qsizetype>(4096, got));
                const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    if (n < 0 || got > Store::kMaxBlobBytes)
                        got = -1;
                    break;
                }
                got += n;
            }
            if (got < 0)
                data = QByteArray();
            else
                data.truncate(got);
            if (got == 0)
                data = QByteArray(""); // an empty file is a picture of no bytes, not a failure
        }
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "reading" << path << "failed:" << e.what();
        data = QByteArray();
    }
    ::close(fd);
    return data;
}

// The duplicate-name question, three lines joined by LF CR.
QString duplicateNameQuestion(const QString& name)
{
    return Texts::tr("文件名 \"%1\" 已经存在!\n\r是否让系统自动更改名称？\n\r或者不添加该文件!")
        .arg(name);
}

// The records of one run not yet committed, and the transaction holding them. The records
// bytes are not kept: a failed transaction reads its files again.
class Batch
{
public:
    Batch(Store& store, Prompt& prompt, AddFilesResult& result,
        const std::function<void(const AddedPicture&)>& committed, const AddBatching& limits)
        : m_store(store)
        , m_prompt(prompt)
        , m_result(result)
        , m_committed(committed)
        , m_limits(limits)
    {
    }

    // Stores the record in the open transaction (beginning one), committing when a limit is
    // reached.
    void add(const FileToAdd& file, const QString& name, const QByteArray& data, bool copy)
    {
        AddedPicture picture { file.path, name, 0, copy, file.folder, data.size() };
        try {
            if (!m_transaction) {
                m_transaction.emplace(m_store);
                m_started = std::chrono::steady_clock::now();
                m_bytes = 0;
            }
            picture.rowid = insert(picture, data);
        } catch (const std::exception&) {
            // The engine may have rolled back the whole transaction (a full disk does): every
            // record of the batch is tried again on its own.
            m_pending.append(picture);
            retryOneByOne();
            return;
        }
        m_bytes += data.size();
        m_pending.append(picture);
        if (m_pending.size() >= m_limits.pictures || m_bytes >= m_limits.bytes
            || std::chrono::steady_clock::now() - m_started >= m_limits.time)
            commit();
    }

    void commit()
    {
        if (!m_transaction)
            return;
        try {
            m_transaction->commit();
        } catch (const std::exception&) {
            retryOneByOne();
            return;
        }
        m_transaction.reset();
        for (const AddedPicture& picture : std::as_const(m_pending))
            report(picture);
        m_pending.clear();
    }

private:
    qint64 insert(const AddedPicture& picture, const QByteArray& data)
    {
        return m_store.appendPicture(
            picture.folder, picture.name, comeFromPath(picture.path), data);
    }

    void report(const AddedPicture& picture)
    {
        m_result.added.append(picture);
        if (m_committed)
            m_committed(picture);
    }

    void retryOneByOne()
    {
        m_transaction.reset(); // rolls back what is left of it
        const QList<AddedPicture> pending = std::move(m_pending);
        m_pending.clear();
        for (AddedPicture picture : pending) {
            try {
                const QByteArray data = readWholeFile(picture.path);
                if (data.isNull())
                    throw std::runtime_error("the file cannot be read");
                Store::Transaction transaction(m_store);
                picture.rowid = insert(picture, data);
                transaction.commit();
            } catch (const std::exception& e) {
                qCDebug(lcPictures) << "adding" << picture.path << "failed:" << e.what();
                m_prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 添加失败").arg(picture.path));
                ++m_result.failed;
                continue;
            }
            report(picture);
        }
    }

    Store& m_store;
    Prompt& m_prompt;
    AddFilesResult& m_result;
    const std::function<void(const AddedPicture&)>& m_committed;
    const AddBatching m_limits;
    QList<AddedPicture> m_pending;
    qint64 m_bytes = 0;
    std::chrono::steady_clock::time_point m_started;
    std::optional<Store::Transaction> m_transaction;
};

// Whether the store holds `data` (in `folder` when given); a lookup the engine refuses counts
// as not held.
bool isStored(Store& store, const QByteArray& data, const QString& folder = {})
{
    try {
        return store.findSameBytes(data, folder).has_value();
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "looking for the same bytes failed:" << e.what();
        return false;
    }
}

} // namespace

QString sameBytesTip(int copies)
{
    return Texts::tr("有 %n 张图片与图片库中已有的图片完全相同", nullptr, copies);
}

int AddFilesResult::copies() const
{
    return int(std::count_if(
        added.begin(), added.end(), [](const AddedPicture& picture) { return picture.copy; }));
}

AddFilesResult AddFiles(Store& store, const QString& folder, const QStringList& paths,
    Prompt& prompt, const std::function<void()>& advance,
    const std::function<void(const AddedPicture&)>& committed, const AddBatching& batching,
    SameBytes sameBytes)
{
    QList<FileToAdd> files;
    files.reserve(paths.size());
    for (const QString& path : paths)
        files.append({ path, folder });
    return AddFilesToFolders(
        store, files, prompt,
        [&advance] {
            if (advance)
                advance();
            return true;
        },
        committed, batching, sameBytes);
}

AddFilesResult AddFilesToFolders(Store& store, const QList<FileToAdd>& files, Prompt& prompt,
    const std::function<bool()>& advance, const std::function<void(const AddedPicture&)>& committed,
    const AddBatching& batching, SameBytes sameBytes)
{
    AddFilesResult result;
    Batch batch(store, prompt, result, committed, batching);
    const bool skipping = sameBytes != SameBytes::Add;
    for (const FileToAdd& file : files) {
        const QString& path = file.path;
        const QString& folder = file.folder;
        QByteArray data;
        // Skipping reads the file first: a file that cannot be read is looked at again only to
        // tell a missing one.
        if (skipping ? (data = readWholeFile(path)).isNull() && !QFileInfo(path).isFile()
                     : !QFileInfo(path).isFile()) {
            prompt.popup(
                PopupKind::Warning, Texts::tr("文件 %1 不存在,不能添加到文件夹中").arg(path));
            ++result.failed;
        } else if (skipping && data.isNull()) {
            prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 添加失败").arg(path));
            ++result.failed;
        } else if (skipping
            && isStored(store, data, sameBytes == SameBytes::SkipInFolder ? folder : QString())) {
            ++result.duplicates;
        } else {
            QString name = pictureNameFromPath(path);
            bool wanted = true;
            if (NameExists(store, name, folder)) {
                batch.commit();
                wanted = prompt.confirm(duplicateNameQuestion(name));
                if (wanted)
                    name = AutoRename(store, name, folder);
                else
                    ++result.skipped;
            }
            if (wanted) {
                if (!skipping)
                    data = readWholeFile(path);
                if (data.isNull()) {
                    prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 添加失败").arg(path));
                    ++result.failed;
                } else {
                    batch.add(file, name, data,
                        sameBytes != SameBytes::SkipAnywhere && isStored(store, data));
                }
            }
        }
        if (advance && !advance())
            break;
    }
    batch.commit();
    return result;
}

} // namespace zarvo
