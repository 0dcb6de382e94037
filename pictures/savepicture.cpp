// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/savepicture.h"

#include "imaging/metafiledecoder.h"
#include "imaging/picturedecoder.h"
#include "imaging/pictureencoder.h"
#include "imaging/picturekind.h"
#include "store/logging.h"
#include "store/wholefile.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>

#include <exception>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(SavePicture)
};

// The stored bytes of the picture, or nothing when the folder or the picture is gone.
std::optional<QByteArray> storedBytes(Store& store, const QString& table, const QString& name)
{
    if (!store.TableExists(table))
        return std::nullopt;
    const std::optional<PictureRow> row = store.locate(table, name);
    if (!row)
        return std::nullopt;
    return store.readBlob(table, row->rowid);
}

// The stored picture drawn as the viewer draws it: the metafiles by their own decoder, every
// other kind by its kind's.
DecodedPicture decodeForSaving(const PictureKind& kind, const QByteArray& bytes)
{
    const QLatin1String extension(kind.extension);
    if (extension == QLatin1String(".emf"))
        return decodeMetafile(MetafileKind::Emf, bytes);
    if (extension == QLatin1String(".wmf"))
        return decodeMetafile(MetafileKind::Wmf, bytes);
    return decodePicture(kind.decoder, bytes);
}

} // namespace

int pictureKindCode(const QString& come)
{
    return PictureKind::ofCome(come).code;
}

QString kindExtension(int kind)
{
    return QLatin1String(PictureKind::ofCode(kind).extension);
}

void SavePicture(Workspace& workspace, const QString& table, const QString& name, int storedKind,
    const QByteArray& viewerBytes)
{
    Prompt& prompt = workspace.prompt();
    QString proposed = name;
    proposed.replace(QLatin1Char('/'), QLatin1Char('_'));
    const std::optional<SaveChoice> choice
        = prompt.chooseSaveFile(saveFilterFor(storedKind), saveIndexOfKind(storedKind), proposed);
    if (!choice || choice->path.isEmpty())
        return;
    const int chosenKind = kindOfSaveIndex(storedKind, choice->filterIndex);
    const QString target = choice->path + kindExtension(chosenKind);
    if (somethingAt(target)
        && !prompt.confirm(Texts::tr("文件: %1 已经存在，是否要覆盖该文件?").arg(target)))
        return;

    std::optional<QByteArray> bytes;
    try {
        if (!workspace.store())
            return;
        bytes = storedBytes(*workspace.store(), table, name);
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "saving" << name << "from" << table
                            << "failed to read the store:" << e.what();
        return;
    }

    if (!bytes) {
        if (viewerBytes.isEmpty())
            return;
        if (!writeWholeFile(target, viewerBytes)) {
            prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 保存失败").arg(target));
            return;
        }
        prompt.popup(PopupKind::Tip, Texts::tr("该文件在数据库已经不存在了，所以保存时可能不正确"));
        return;
    }

    if (chosenKind == storedKind) {
        if (!writeWholeFile(target, *bytes))
            prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 保存失败").arg(target));
        return;
    }

    try {
        const DecodedPicture decoded = decodeForSaving(PictureKind::ofCode(storedKind), *bytes);
        bytes.reset();
        EncodedPicture encoded;
        if (decoded.ok())
            encoded = PictureKind::ofCode(chosenKind).encode(decoded.image);
        if (encoded.ok() && writeWholeFile(target, encoded.bytes)) {
            prompt.popup(PopupKind::Success, Texts::tr("文件 %1 保存成功!").arg(choice->path));
            return;
        }
        qCDebug(lcPictures) << "converting" << name
                            << "failed:" << (decoded.ok() ? encoded.error : decoded.error);
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "converting" << name << "failed:" << e.what();
    }
    prompt.popup(PopupKind::Warning, Texts::tr("文件保存失败，请使用它原有的文件格式保存!"));
}

void pop_saveClick(Workspace& workspace)
{
    const QStringList names = workspace.selectedNames();
    if (names.isEmpty() || !workspace.isFolderOpen() || !workspace.store())
        return;
    const QString table = workspace.openFolder();
    std::optional<PictureRow> row;
    try {
        row = workspace.store()->locate(table, names.constFirst());
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "locating" << names.constFirst() << "to save it failed:" << e.what();
        return;
    }
    if (row)
        SavePicture(workspace, table, names.constFirst(), pictureKindCode(row->come));
}

} // namespace zarvo
