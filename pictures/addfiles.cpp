// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/addfiles.h"

#include "pictures/picturenames.h"
#include "store/logging.h"
#include "store/prompt.h"
#include "store/store.h"

#include <QFile>
#include <QFileInfo>

namespace zarvo {

namespace {

// The whole file, or a null array when it cannot be read or is too large for the store.
QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > Store::kMaxBlobBytes)
        return {};
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    if (data.isNull())
        data = QByteArray(""); // an empty file is a picture of no bytes, not a failure
    return data;
}

// The duplicate-name question, three lines joined by LF CR.
QString duplicateNameQuestion(const QString& name)
{
    return QStringLiteral("文件名 \"") + name
        + QStringLiteral("\" 已经存在!\n\r是否让系统自动更改名称？\n\r或者不添加该文件!");
}

} // namespace

AddFilesResult AddFiles(Store& store, const QString& folder, const QStringList& paths,
    Prompt& prompt, const std::function<void()>& advance)
{
    AddFilesResult result;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isFile()) {
            prompt.popup(PopupKind::Warning,
                QStringLiteral("文件 ") + path + QStringLiteral(" 不存在,不能添加到文件夹中"));
            ++result.failed;
            if (advance)
                advance();
            continue;
        }
        QString name = pictureNameFromPath(path);
        if (NameExists(store, name, folder)) {
            if (!prompt.confirm(duplicateNameQuestion(name))) {
                ++result.skipped;
                if (advance)
                    advance();
                continue;
            }
            name = AutoRename(store, name, folder);
        }
        try {
            // Inside the try: a file too large for memory throws std::bad_alloc.
            const QByteArray data = readWholeFile(path);
            if (data.isNull())
                throw std::runtime_error("the file cannot be read");
            const qint64 rowid = store.appendPicture(folder, name, comeFromPath(path), data);
            result.added.append({ path, name, rowid });
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "adding" << path << "failed:" << e.what();
            prompt.popup(
                PopupKind::Warning, QStringLiteral("文件 ") + path + QStringLiteral(" 添加失败"));
            ++result.failed;
        }
        if (advance)
            advance();
    }
    return result;
}

} // namespace zarvo
