// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTreeView;

namespace zarvo {

class ClickSounds;
class FolderListView;
class FolderTree;
class MsnPop;
class Prompt;
class StatusBar;
class Tabou;
class ThumbnailModel;
class ThumbnailPipeline;

// The main window: the store connection and the open folder, the folder tree `tree1`, the
// folder view `ListView1`, the status bar `bar`, the toolbar and menus, the message popups,
// the tray icon and the exit with compaction.
//
// Every control, menu item and action carries its name as its objectName ("tree1",
// "ListView1", "btn_addfile", "menu_delfile", "pop_copy", ...). Commands ask and tell through
// the prompt: the window's own dialogs and popups, or the one a test gives it.
// User-interface thread only.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // `prompt` null: the window's own dialogs and sliding popups.
    explicit Form1(Prompt* prompt = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    // Opens `data.mdb` of the working directory. On failure the warning "数据库文件不存在!" or
    // "数据库打开错误" has gone to the prompt and the result is false: the program must end.
    bool FormCreate();
    // Loads the folder tree from the store; runs each time the window is shown.
    void FormShow();

    Prompt& prompt() const { return *m_prompt; }
    MsnPop* msnpop() const { return m_msnpop; }
    Store* store() const { return m_ado.get(); }
    FolderTree& tree() const { return *m_treeModel; }
    QTreeView* tree1() const { return m_tree1; }
    FolderListView* ListView1() const { return m_listView; }
    ThumbnailModel& items() const { return *m_items; }
    StatusBar* bar() const { return m_bar; }
    QMenu* PopupMenu1() const { return m_popupMenu; }
    QAction* action(const char* name) const;

    // --- the open folder (`table1`) ---
    bool isFolderOpen() const { return m_table1.open; }
    // The open folder's table name; empty while none is open.
    QString openFolder() const { return m_table1.open ? m_table1.table : QString(); }
    // The row `table1` stands on: the one ListView1Change located last.
    std::optional<PictureRow> currentRow() const { return m_table1.current; }
    // Closes the open folder, binds `table1` to `table` and opens it, which builds the view.
    // Throws when the table cannot be read (the view then shows what was built).
    void openFolderTable(QString table); // a copy: closing the folder forgets its name
    // Closes the open folder; the view empties.
    void closeFolderTable();
    // Closes and opens the open folder again, rebuilding the view.
    void reloadFolder();
    // Names of the selected pictures, in view order.
    QStringList selectedNames() const;

    // --- the picture clipboard ---
    QStringList copylist;
    QString copyfolder;
    bool cutflag = false;

    // --- handlers ---
    void tree1Click();
    void table1AfterOpen();
    void table1AfterClose();
    void ListView1Change();
    void PopupMenu1Popup();
    void btn_minClick();
    void MakeMin();
    // The left click on the tray icon: the window comes back as it was and reloads the tree.
    void restoreFromTray();
    void btn_helpClick();
    void menu_autherClick();
    void btn_closeClick();

    bool isInTray() const;
    Tabou* abou() const { return m_abou; }

Q_SIGNALS:
    // The close query said Yes and the store was compacted (or failed to be): the program may
    // end once the last popup has gone.
    void exitFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Table1 {
        bool open = false;
        QString table;
        QList<PictureRow> rows;
        std::optional<PictureRow> current;
    };

    void buildToolbar(QWidget* panel);
    void buildMenus();
    void buildPopupMenu();
    void connectCommands(QWidget* toolbar);
    QAction* makeAction(const char* name, const QString& caption, const QString& icon,
                        const QKeySequence& shortcut = {});
    void showStatus(qint64 total, const QString& counts);
    void FormCloseQuery(QCloseEvent* event);

    std::unique_ptr<Prompt> m_ownPrompt;
    Prompt* m_prompt = nullptr;
    MsnPop* m_msnpop = nullptr;
    std::shared_ptr<StoreLock> m_lock; // kept after the store is closed, for the compaction
    std::unique_ptr<Store> m_ado;
    Table1 m_table1;

    FolderTree* m_treeModel = nullptr;
    QTreeView* m_tree1 = nullptr;
    FolderListView* m_listView = nullptr;
    ThumbnailModel* m_items = nullptr;
    StatusBar* m_bar = nullptr;
    QMenu* m_popupMenu = nullptr;
    ClickSounds* m_sounds = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    Tabou* m_abou = nullptr;
    std::unique_ptr<ThumbnailPipeline> m_pipeline;

    bool m_building = false;
    bool m_closePending = false;
    bool m_exiting = false;
    bool m_restoreMaximized = true;
};

} // namespace zarvo
