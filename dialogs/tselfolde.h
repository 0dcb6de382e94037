// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace zarvo {

// The export directory chooser "请选择你要导出文件的文件目录": a tree of the file system's
// directories (`path`), rooted at `/`, that opens on the user's home directory, expanded and
// selected. `Edit1` shows the selected directory's path. OK closes with Accepted; Cancel and the
// close box with Rejected. Made for one use.
class Tselfolde : public QDialog
{
    Q_OBJECT
public:
    explicit Tselfolde(QWidget* parent = nullptr);

    // The selected directory's path; empty when no node with a path is selected.
    QString selectedPath() const;
    QTreeView* path() const { return m_path; }
    QLineEdit* Edit1() const { return m_edit1; }

public Q_SLOTS:
    void SpeedButton1Click();
    void FlatButton1Click();

private:
    void pathChange();

    QFileSystemModel* m_model;
    QTreeView* m_path;
    QLineEdit* m_edit1;
};

} // namespace zarvo
