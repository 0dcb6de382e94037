// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/renamedelete.h"

#include "app/form1.h"
#include "dialogs/tedi.h"
#include "pictures/picturenames.h"
#include "store/prompt.h"
#include "view/folderlistview.h"

namespace zarvo {

void btn_editfileClick(Form1& form)
{
    Prompt& prompt = form.prompt();
    const QStringList selected = form.selectedNames();
    if (!form.isFolderOpen() || selected.size() != 1) {
        prompt.popup(PopupKind::Tip, QStringLiteral("请选择一个文件夹，并选择其中的一个文件"));
        return;
    }
    const QString old = selected.first();
    const QString folder = form.openFolder();
    const std::optional<QString> newName = askNewName(old, prompt, &form);
    if (!newName)
        return;
    if (NameExists(*form.store(), *newName, folder)) {
        prompt.popup(PopupKind::Warning, QStringLiteral("文件名 ") + *newName + QStringLiteral(" 在文件夹 ") + folder
                         + QStringLiteral(" 已经存在，请更改名称"));
        return;
    }
    try {
        // No row renamed means the picture is gone: that is no success either.
        if (form.store()->renamePicture(folder, *newName, old) == 0)
            throw std::runtime_error("no picture of that name");
        form.reloadFolder();
        prompt.popup(PopupKind::Success, QStringLiteral("文件 ") + old + QStringLiteral(" 成功改名为 ") + *newName);
    } catch (const std::exception&) {
        prompt.popup(PopupKind::Warning, QStringLiteral("文件夹 ") + folder + QStringLiteral(" 在对文件 ") + old
                         + QStringLiteral(" 修改名称时发生错误"));
    }
}

void btn_delfileClick(Form1& form)
{
    Prompt& prompt = form.prompt();
    const QStringList selected = form.selectedNames();
    if (selected.isEmpty() || !form.isFolderOpen()) {
        prompt.popup(PopupKind::Tip, QStringLiteral("请打开文件夹并选中要删除的文件"));
        return;
    }
    if (!prompt.confirm(QStringLiteral("是否真的要删除这些文件?")))
        return;
    const QString folder = form.openFolder();
    for (const QString& name : selected) {
        try {
            form.store()->deletePicture(folder, name);
        } catch (const std::exception&) {
            prompt.popup(PopupKind::Warning, QStringLiteral("文件: ") + name + QStringLiteral(" 在删除过程中产生错误，删除不成功"));
        }
    }
    try {
        form.reloadFolder();
    } catch (const std::exception&) {
    }
}

void menu_delallClick(Form1& form)
{
    if (!form.isFolderOpen()) {
        form.prompt().popup(PopupKind::Tip, QStringLiteral("请先打开一个文件夹"));
        return;
    }
    if (!form.prompt().confirm(QStringLiteral("真的要删除该文件夹下的全部文件吗?")))
        return;
    form.ListView1()->selectAll();
    btn_delfileClick(form);
}

} // namespace zarvo
