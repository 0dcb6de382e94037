// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace zarvo {

class DuplicateSession;

// The tool window "查找重复图片": the sets of identical pictures `List1`, one top-level row per
// set (largest pictures first) with its pictures below it (folder path and name), a delete
// button `btn_del` for the selected pictures (after the delete question) and `btn_open`, which
// opens the current picture's folder at that picture and closes the window. Made for one use;
// the session must outlive it.
class Tdups : public QDialog
{
    Q_OBJECT
public:
    explicit Tdups(DuplicateSession& session, QWidget* parent = nullptr);

    QTreeWidget* List1() const { return m_list; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* openButton() const { return m_open; }

public Q_SLOTS:
    void btn_delClick();
    void btn_openClick();

private:
    void showGroups();
    void updateButtons();

    DuplicateSession& m_session;
    QLabel* m_label;
    QTreeWidget* m_list;
    QPushButton* m_delete;
    QPushButton* m_open;
};

} // namespace zarvo
