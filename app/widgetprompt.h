// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace zarvo {

class MsnPop;

// While one lives, the dialogs and questions of the widget prompt belong to `window`: a window
// that asks (a viewer that stays on top, whose dialogs would otherwise open underneath it) makes
// one around the command it runs. They nest; the innermost wins, and a window that has closed
// counts as none. User-interface thread only.
class AskingWindow
{
public:
    explicit AskingWindow(QWidget* window);
    ~AskingWindow();
    AskingWindow(const AskingWindow&) = delete;
    AskingWindow& operator=(const AskingWindow&) = delete;

    // The window of the innermost living AskingWindow, or null.
    static QWidget* current();

private:
    QPointer<QWidget> m_outer;
};

// The prompt of the desktop program, and the one place that builds dialogs for commands: modal
// confirmation boxes, the sliding message popups of the main window's MSNPOP component, the file
// dialogs and the name dialogs, all owned by the main window. Names inside questions show as
// plain text. User-interface thread only.
class WidgetPrompt : public Prompt
{
public:
    WidgetPrompt(QWidget* owner, MsnPop* popups);

    bool confirm(const QString& question) override;
    void popup(PopupKind kind, const QString& text) override;
    QStringList chooseOpenFiles(const QString& filter) override;
    std::optional<QString> askNewName(const QString& oldName) override;
    NewNode askNewNode(NodeSituation situation) override;
    QString chooseDirectory() override;
    void showSearchWindow(FindSession& session) override;
    std::optional<SaveChoice> chooseSaveFile(
        const QString& filter, int selectedIndex, const QString& proposedName) override;
    // The wait window of a long piece of work: modal, with its progress and a cancel button,
    // shown once the work has taken half a second.
    void beginWork(const QString& title) override;
    bool advanceWork(qint64 done, qint64 total) override;
    void endWork() override;
    void showDuplicatesWindow(DuplicateSession& session) override;

    // The filter text "Description|*.a;*.b|..." as Qt name filters. Each filter's text stays as
    // the user sees it; the patterns Qt filters by are separated by spaces and match the
    // extensions in any letter case.
    struct NameFilters
    {
        QStringList shown; // "Description" texts, as given
        QStringList patterns; // what QFileDialog filters by, one per shown text
    };
    static NameFilters nameFilters(const QString& filter);

private:
    // The window a dialog belongs to: the asking window, else the active window when it stays on
    // top, else the owner.
    QWidget* dialogOwner() const;

    QPointer<QWidget> m_owner;
    QPointer<MsnPop> m_popups;
    QPointer<QProgressDialog> m_work;
};

} // namespace zarvo
