// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tselfolde.h"

#include "dialogs/screencentre.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace zarvo {

Tselfolde::Tselfolde(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Tselfolde"));
    setWindowTitle(tr("请选择你要导出文件的文件目录"));
    setFixedSize(338, 389);

    auto* label1 = new QLabel(tr("文件夹选择:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(8, 6, 120, 18);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath(QDir::rootPath());
    m_path = new QTreeView(this);
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setGeometry(8, 26, 322, 286);
    m_path->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_path->hideColumn(column);
    m_path->setHeaderHidden(true);
    m_path->setSelectionMode(QAbstractItemView::SingleSelection);
    m_path->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_path->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &Tselfolde::pathChange);

    auto* label2 = new QLabel(tr("文件夹:"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(8, 324, 48, 18);
    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setGeometry(56, 321, 274, 22);
    m_edit1->setReadOnly(true);

    auto* ok = new QPushButton(tr("确定(&O)"), this);
    ok->setObjectName(QStringLiteral("SpeedButton1"));
    ok->setGeometry(146, 354, 89, 27);
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &Tselfolde::SpeedButton1Click);
    auto* cancel = new QPushButton(tr("取消(&C)"), this);
    cancel->setObjectName(QStringLiteral("FlatButton1"));
    cancel->setGeometry(241, 354, 89, 27);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &Tselfolde::FlatButton1Click);

    // Open where a user keeps files: the home directory, its ancestors expanded up to `/`.
    const QModelIndex home = m_model->index(QDir::homePath());
    for (QModelIndex up = home; up.isValid(); up = up.parent())
        m_path->expand(up);
    m_path->setCurrentIndex(home);
    m_path->scrollTo(home);
    m_path->setFocus();
    centreOnScreen(*this);
}

QString Tselfolde::selectedPath() const
{
    const QModelIndex current = m_path->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

void Tselfolde::pathChange()
{
    m_edit1->setText(selectedPath());
}

void Tselfolde::SpeedButton1Click()
{
    accept();
}

void Tselfolde::FlatButton1Click()
{
    reject();
}

} // namespace zarvo
