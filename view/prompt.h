// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/popups.h"
#include "view/nodeplacement.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zarvo {

class DuplicateSession;
class FindSession;

// What the save dialog returned: the file name as the user gave it (absolute, nothing appended)
// and the 0-based position of the file type selected when the dialog closed.
struct SaveChoice
{
    QString path;
    int filterIndex = 0;
};

// The one way commands ask the user something and tell the user something.
//
// Commands never open message boxes, file dialogs, name dialogs or popups themselves: they go
// through a Prompt, one typed ask per dialog. The desktop program implements it with real dialogs
// and sliding popups, zarvoctl on the console, and tests with a scripted fake that answers
// questions and records what was shown. It tells through popup(), as Popups does. Implementations
// are used from the user-interface thread only.
class Prompt : public Popups
{
public:
    // A modal Yes/No question (caption "Confirm", Yes is the default, Escape answers No).
    // Returns true only when the answer is Yes.
    virtual bool confirm(const QString& question) = 0;

    // The open-picture dialog: existing files chosen by the user, in the dialog's order;
    // empty when the user cancels. `filter` is the dialog's filter text as shown to the user
    // ("Description|*.a;*.b|..."), its first entry selected.
    virtual QStringList chooseOpenFiles(const QString& filter) = 0;

    // The rename dialog for `oldName`: the new name (at most 19 bytes, no space, no group marker,
    // not `oldName` itself), or nothing when the user cancelled.
    virtual std::optional<QString> askNewName(const QString& oldName) = 0;

    // The add dialog for a new tree node, offering what `situation` allows: the placement chosen
    // and the name typed (placement Cancel when the user cancelled).
    virtual NewNode askNewNode(NodeSituation situation) = 0;

    // The directory chooser for an export: the chosen directory's path, or an empty text when
    // the user cancelled or the chosen node has no path in the file system.
    virtual QString chooseDirectory() = 0;
    // The search window "查询" on `session`, modal; returns when the user closes it.
    virtual void showSearchWindow(FindSession& session) = 0;

    // The save dialog `savedia`: `filter` as for chooseOpenFiles, the file type at 0-based
    // `selectedIndex` preselected and `proposedName` proposed as the file name. Nothing when the
    // user cancelled. The working directory stays as it was.
    virtual std::optional<SaveChoice> chooseSaveFile(
        const QString& filter, int selectedIndex, const QString& proposedName)
        = 0;

    // A long piece of work: its wait window with progress and a cancel button, shown by
    // beginWork, moved on by advanceWork (`done` of `total` steps; false once the user has
    // cancelled) and closed by endWork. Without a window the work runs to its end.
    virtual void beginWork(const QString& title) { (void)title; }
    virtual bool advanceWork(qint64 done, qint64 total)
    {
        (void)done;
        (void)total;
        return true;
    }
    virtual void endWork() { }

    // The tool window "查找重复图片" on `session`, modal; returns when the user closes it.
    virtual void showDuplicatesWindow(DuplicateSession& session) { (void)session; }
};

} // namespace zarvo
