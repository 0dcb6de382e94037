// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tdups.h"

#include "pictures/duplicates.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zarvo {

namespace {

// Where a picture row's picture is: its set and its place in it.
constexpr int kGroupRole = Qt::UserRole + 1;
constexpr int kPictureRole = Qt::UserRole + 2;

} // namespace

Tdups::Tdups(DuplicateSession& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_label(new QLabel(this))
    , m_list(new QTreeWidget(this))
    , m_delete(new QPushButton(tr("删除选中的图片(&D)"), this))
    , m_open(new QPushButton(tr("打开所在文件夹(&O)"), this))
{
    setObjectName(QStringLiteral("Tdups"));
    setWindowTitle(tr("查找重复图片"));
    resize(640, 420);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({ tr("文件夹"), tr("图片名称") });
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_delete->setObjectName(QStringLiteral("btn_del"));
    m_open->setObjectName(QStringLiteral("btn_open"));
    auto* close = new QPushButton(tr("关闭(&C)"), this);
    close->setObjectName(QStringLiteral("btn_close"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_open);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_delete, &QPushButton::clicked, this, &Tdups::btn_delClick);
    connect(m_open, &QPushButton::clicked, this, &Tdups::btn_openClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &Tdups::updateButtons);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &Tdups::updateButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item->parent())
            btn_openClick();
    });
    showGroups();
}

void Tdups::showGroups()
{
    m_list->clear();
    const QList<DuplicateSession::Group>& groups = m_session.groups();
    m_label->setText(groups.isEmpty()
            ? tr("没有内容相同的图片")
            : tr("%1 组内容相同的图片; 选中多余的副本即可删除").arg(groups.size()));
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const DuplicateSession::Group& group = groups[g];
        auto* top = new QTreeWidgetItem(m_list,
            { tr("第 %1 组: %2 张, 每张 %3 字节")
                    .arg(g + 1)
                    .arg(group.pictures.size())
                    .arg(group.size) });
        top->setFlags(Qt::ItemIsEnabled);
        for (qsizetype p = 0; p < group.pictures.size(); ++p) {
            auto* row = new QTreeWidgetItem(
                top, { group.pictures[p].path, group.pictures[p].stored.name });
            row->setData(0, kGroupRole, int(g));
            row->setData(0, kPictureRole, int(p));
        }
    }
    m_list->expandAll();
    updateButtons();
}

void Tdups::updateButtons()
{
    m_delete->setEnabled(!m_list->selectedItems().isEmpty());
    QTreeWidgetItem* current = m_list->currentItem();
    m_open->setEnabled(current && current->parent());
}

void Tdups::btn_delClick()
{
    QList<StoredPicture> pictures;
    for (QTreeWidgetItem* item : m_list->selectedItems()) {
        if (!item->parent())
            continue;
        const auto& group = m_session.groups()[item->data(0, kGroupRole).toInt()];
        pictures.append(group.pictures[item->data(0, kPictureRole).toInt()].stored);
    }
    if (m_session.deletePictures(pictures))
        showGroups();
}

void Tdups::btn_openClick()
{
    QTreeWidgetItem* current = m_list->currentItem();
    if (!current || !current->parent())
        return;
    const auto& group = m_session.groups()[current->data(0, kGroupRole).toInt()];
    m_session.openAt(group.pictures[current->data(0, kPictureRole).toInt()].stored);
    accept();
}

} // namespace zarvo
