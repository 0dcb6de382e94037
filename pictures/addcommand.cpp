// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/addcommand.h"

#include "app/form1.h"
#include "app/statusbar.h"
#include "imaging/pictureformat.h"
#include "pictures/addfiles.h"
#include "store/prompt.h"

#include <QProgressBar>

namespace zarvo {

const char* const kOpenPictureFilter
    = "All (*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
      "GIF Image (*.gif)|*.gif|Portable Network Graphics (*.png)|*.png|JPEG Image File (*.jpg)|*.jpg|"
      "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico";

void addFilesToOpenFolder(Form1& form, const QStringList& paths)
{
    StatusBar* bar = form.bar();
    bar->startProgress(int(paths.size()));
    AddFiles(*form.store(), form.openFolder(), paths, form.prompt(), [bar] { bar->advanceProgress(); });
    try {
        form.reloadFolder();
    } catch (const std::exception&) {
    }
    bar->progress()->setValue(0);
}

void btn_addfileClick(Form1& form)
{
    if (!form.isFolderOpen()) {
        form.prompt().popup(PopupKind::Tip, QStringLiteral("请先选择一个文件夹"));
        return;
    }
    const QStringList paths = form.prompt().chooseOpenFiles(QString::fromUtf8(kOpenPictureFilter));
    if (paths.isEmpty())
        return;
    addFilesToOpenFolder(form, paths);
}

void wmdropfiles(Form1& form, const QStringList& paths)
{
    if (!form.isFolderOpen()) {
        form.prompt().popup(PopupKind::Tip, QStringLiteral("请先打开一个文件夹，再进行文件拖放操作"));
        return;
    }
    static const QStringList accepted{QStringLiteral(".png"), QStringLiteral(".gif"), QStringLiteral(".ico"),
                                      QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".bmp")};
    QStringList kept;
    for (const QString& path : paths)
        if (accepted.contains(extensionOfCome(path)))
            kept.append(path);
    addFilesToOpenFolder(form, kept);
}

} // namespace zarvo
