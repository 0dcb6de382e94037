// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tfin.h"

#include "dialogs/screencentre.h"
#include "folders/findsession.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

namespace zarvo {

namespace {

QGroupBox* whiteGroupBox(const QString& title, const char* name, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, Qt::white);
    box->setPalette(pal);
    box->setAutoFillBackground(true);
    return box;
}

} // namespace

Tfin::Tfin(FindSession& session, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_session(session)
{
    setObjectName(QStringLiteral("Tfin"));
    setWindowTitle(tr("查询"));
    setFixedSize(759, 261);

    QGroupBox* options = whiteGroupBox(tr("查找选项:"), "GroupBox1", this);
    options->setGeometry(8, 6, 273, 249);

    auto* radioGroup = new QGroupBox(tr("查找种类"), options);
    radioGroup->setObjectName(QStringLiteral("RadioGroup1"));
    radioGroup->setGeometry(10, 20, 253, 78);
    m_kinds = new QButtonGroup(radioGroup);
    const QString items[] = { tr("文件(&F)"), tr("文件夹(&O)/树结构(&T)") };
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(items[i], radioGroup);
        radio->setGeometry(12, 22 + 24 * i, 230, 20);
        m_kinds->addButton(radio, i);
    }

    auto* nameFrame = new QGroupBox(tr("查找名称"), options);
    nameFrame->setObjectName(QStringLiteral("GroupBox3"));
    nameFrame->setGeometry(10, 108, 253, 96);
    m_edit = new QLineEdit(nameFrame);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->setGeometry(12, 24, 229, 22);
    m_searchButton = new QPushButton(tr("查找(&S)"), nameFrame);
    m_searchButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_searchButton->setGeometry(152, 56, 89, 27);
    m_searchButton->setAutoDefault(false);

    m_tables = new QComboBox(options);
    m_tables->setObjectName(QStringLiteral("ComboBox1"));
    m_tables->setGeometry(10, 212, 253, 22);
    m_tables->addItems(session.tables());
    m_tables->hide();

    QGroupBox* results = whiteGroupBox(tr("查找结果"), "GroupBox2", this);
    results->setGeometry(289, 6, 462, 249);
    m_list = new QListWidget(results);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setGeometry(10, 20, 442, 219);
    m_list->setUniformItemSizes(true);
    m_tree = new QTreeView(results);
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setGeometry(10, 20, 442, 219);
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(32, 32));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    session.treeCopy().setIcons(
        QIcon(QStringLiteral(":/images/tree/0.png")), QIcon(QStringLiteral(":/images/tree/1.png")));
    m_tree->setModel(&session.treeCopy());
    m_tree->setSelectionModel(&session.treeSelection());

    m_kinds->button(int(session.kind()))->setChecked(true);
    showPane();
    showResults();

    connect(m_kinds, &QButtonGroup::idClicked, this,
        [this](int id) { m_session.setKind(SearchKind(id)); });
    connect(m_edit, &QLineEdit::returnPressed, this, &Tfin::SpeedButton1Click);
    connect(m_searchButton, &QPushButton::clicked, this, &Tfin::SpeedButton1Click);
    connect(&session, &FindSession::paneChanged, this, &Tfin::showPane);
    connect(&session, &FindSession::resultsChanged, this, &Tfin::showResults);
    connect(&session, &FindSession::editFocusRequested, m_edit, [this] { m_edit->setFocus(); });
    connect(&session, &FindSession::nodeFound, this, [this](const QModelIndex& node) {
        if (node.parent().isValid())
            m_tree->expandRecursively(node.parent());
        m_tree->scrollTo(node);
        m_tree->setFocus();
    });

    centreOnScreen(*this);
}

void Tfin::SpeedButton1Click()
{
    m_session.search(m_edit->text());
}

void Tfin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_edit->setFocus();
}

void Tfin::showPane()
{
    const bool nodes = m_session.pane() == SearchKind::Nodes;
    m_list->setVisible(!nodes);
    m_tree->setVisible(nodes);
}

void Tfin::showResults()
{
    m_list->clear();
    m_list->addItems(m_session.results());
}

} // namespace zarvo
