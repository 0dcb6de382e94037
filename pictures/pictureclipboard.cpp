// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/pictureclipboard.h"

#include "app/form1.h"
#include "pictures/picturenames.h"
#include "store/prompt.h"
#include "view/folderlistview.h"
#include "view/thumbnailmodel.h"

namespace zarvo {

namespace {

void copyOrCut(Form1& form, bool cut)
{
    const QList<int> selected = form.ListView1()->selectedRows();
    if (!form.isFolderOpen() || selected.isEmpty()) {
        form.prompt().popup(PopupKind::Tip, cut ? QStringLiteral("请先选择要剪切的文件") : QStringLiteral("请先选择要复制的文件"));
        return;
    }
    ThumbnailModel& items = form.items();
    form.copylist.clear();
    form.copyfolder = form.openFolder();
    items.clearCutMarks();
    for (int row : selected) {
        form.copylist.append(items.name(row));
        if (cut)
            items.setCut(row, true);
    }
    form.cutflag = cut;
}

} // namespace

void pop_copyClick(Form1& form)
{
    copyOrCut(form, false);
}

void pop_cutClick(Form1& form)
{
    copyOrCut(form, true);
}

void pop_pasteClick(Form1& form)
{
    Prompt& prompt = form.prompt();
    if (!form.isFolderOpen()) {
        prompt.popup(PopupKind::Tip, QStringLiteral("请先打开文件夹，再进行粘贴操作"));
        return;
    }
    const QString target = form.openFolder();
    const QString source = form.copyfolder;
    if (target == source) {
        prompt.popup(PopupKind::Warning, QStringLiteral("不能在同一文件夹中进行粘贴操作"));
        return;
    }
    Store& store = *form.store();
    QStringList pasted;
    for (const QString& name : form.copylist) {
        QString newName = name;
        if (NameExists(store, name, target)) {
            if (!prompt.confirm(QStringLiteral("文件 ") + name + QStringLiteral(" 在文件夹 ") + target
                                + QStringLiteral(" 中已经存在，是否让系统自动给它改名?")))
                continue;
            newName = AutoRename(store, name, target);
        }
        try {
            // A picture renamed or deleted since the copy is simply not there to paste; it then
            // must not be removed from its folder either.
            if (store.pastePicture(target, newName, source, name) > 0)
                pasted.append(name);
        } catch (const std::exception&) {
            prompt.popup(PopupKind::Warning, QStringLiteral("文件 ") + name + QStringLiteral(" 在粘贴时发生错误"));
        }
    }
    if (form.cutflag) {
        for (const QString& name : pasted) {
            try {
                store.deletePicture(source, name);
            } catch (const std::exception&) {
                prompt.popup(PopupKind::Warning, QStringLiteral("文件 ") + name + QStringLiteral(" 在删除时发生错误"));
            }
        }
        form.cutflag = false;
        form.copylist.clear();
    }
    try {
        form.reloadFolder();
    } catch (const std::exception&) {
    }
}

void A2Click(Form1& form)
{
    if (form.isFolderOpen() && form.items().rowCount() > 0)
        form.ListView1()->selectAll();
}

} // namespace zarvo
