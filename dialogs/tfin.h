// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

namespace zarvo {

class FindSession;

// The search window "查询": the kind choice `RadioGroup1`, the name box `Edit1` with the search
// button `SpeedButton1`, the hidden table list `ComboBox1`, and in one place the result list
// `ListBox1` and the tree copy `TreeView1`, exactly one of them visible. It shows a FindSession
// and passes the user's choices to it; results are only shown, and nothing the user does with
// them reaches the main window. Made for one use; the session must outlive it.
class Tfin : public QDialog
{
    Q_OBJECT
public:
    explicit Tfin(FindSession& session, QWidget* parent = nullptr);

    QLineEdit* Edit1() const { return m_edit; }
    QPushButton* SpeedButton1() const { return m_searchButton; }
    QListWidget* ListBox1() const { return m_list; }
    QTreeView* TreeView1() const { return m_tree; }

public Q_SLOTS:
    void SpeedButton1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPane();
    void showResults();

    FindSession& m_session;
    QButtonGroup* m_kinds;
    QLineEdit* m_edit;
    QPushButton* m_searchButton;
    QComboBox* m_tables;
    QListWidget* m_list;
    QTreeView* m_tree;
};

} // namespace zarvo
