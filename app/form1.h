// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>

#include <memory>
#include <span>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTreeView;

namespace zarvo {

class ClickSounds;
class FolderListView;
class FolderTree;
class FolderTreeView;
class MsnPop;
class Prompt;
class StatusBar;
class Tabou;
class ThumbnailModel;
class Workspace;

// The main window: the folder tree `tree1`, the folder view `ListView1`, the status bar `bar`,
// the toolbar and menus, the message popups, the tray icon and the exit with compaction. The
// store, the open folder and the clipboard belong to its workspace, on which every command runs;
// the window displays the workspace's models and follows its signals.
//
// Every control, menu item and action carries its name as its objectName ("tree1",
// "ListView1", "btn_addfile", "menu_delfile", "pop_copy", ...). Commands ask and tell through
// the prompt: the window's own dialogs and popups, or the one a test gives it.
// User-interface thread only.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    // `prompt` null: the window's own dialogs and sliding popups.
    explicit Form1(Prompt* prompt = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    // The store file FormCreate() opens and the exit compacts: `data.mdb` of the working
    // directory unless set before FormCreate().
    void setStorePath(const QString& path) { m_storePath = path; }
    // Opens the store file. On failure the warning "数据库文件不存在!" or
    // "数据库打开错误" has gone to the prompt and the result is false: the program must end.
    bool FormCreate();
    // Loads the folder tree from the store; runs each time the window is shown. The first load
    // expands every node; later loads keep the nodes the user expanded or collapsed.
    void FormShow();

    Workspace& workspace() const { return *m_workspace; }
    Prompt& prompt() const { return *m_prompt; }
    MsnPop* msnpop() const { return m_msnpop; }
    QTreeView* tree1() const;
    FolderListView* ListView1() const { return m_listView; }
    StatusBar* bar() const { return m_bar; }
    QMenu* PopupMenu1() const { return m_popupMenu; }
    QAction* action(const char* name) const;

    // --- handlers of the window itself ---
    void PopupMenu1Popup();
    void btn_minClick();
    void MakeMin();
    // The left click on the tray icon: the window comes back as it was and reloads the tree.
    void restoreFromTray();
    void btn_helpClick();
    void menu_autherClick();
    // The GIF frame tool, modal and maximised.
    void menu_gifClick();
    void btn_closeClick();

    bool isInTray() const;
    Tabou* abou() const { return m_abou; }

    // Which of the window's own handlers an action or button runs, one per name. The commands of
    // the store and the pictures are routed in app/routes.h.
    struct WindowRoute
    {
        const char* name; // the objectName of the action or button
        void (Form1::*handler)();
    };
    static std::span<const WindowRoute> windowRoutes();

Q_SIGNALS:
    // The close query said Yes and the store was compacted (or failed to be): the program may
    // end once the last popup has gone.
    void exitFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectCommands();
    void followWorkspace();
    void FormCloseQuery(QCloseEvent* event);

    std::unique_ptr<Prompt> m_ownPrompt;
    Prompt* m_prompt = nullptr;
    MsnPop* m_msnpop = nullptr;

    FolderTree* m_treeModel = nullptr;
    FolderTreeView* m_tree1 = nullptr;
    FolderListView* m_listView = nullptr;
    ThumbnailModel* m_items = nullptr;
    Workspace* m_workspace = nullptr;
    StatusBar* m_bar = nullptr;
    QMenu* m_popupMenu = nullptr;
    ClickSounds* m_sounds = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    Tabou* m_abou = nullptr;

    QString m_storePath;
    bool m_treeShown = false;
    bool m_closePending = false;
    bool m_exiting = false;
    bool m_restoreMaximized = true;
};

} // namespace zarvo
