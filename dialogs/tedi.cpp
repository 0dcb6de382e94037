// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tedi.h"

#include "dialogs/namebox.h"
#include "dialogs/screencentre.h"
#include "store/namerules.h"
#include "view/prompt.h"

#include <QLabel>
#include <QPushButton>

namespace zarvo {

TEdi::TEdi(const QString& oldName, Prompt& prompt, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_prompt(prompt)
{
    setObjectName(QStringLiteral("TEdi"));
    setWindowTitle(tr("修改窗口"));
    setFixedSize(457, 79);

    auto* label1 = new QLabel(tr("原名称:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(8, 14, 48, 20);
    m_editOld = new QLineEdit(oldName, this);
    m_editOld->setObjectName(QStringLiteral("edit_old"));
    m_editOld->setGeometry(56, 11, 273, 22);
    m_editOld->setReadOnly(true);
    m_editOld->setFocusPolicy(Qt::NoFocus);
    QPalette same = m_editOld->palette();
    same.setColor(QPalette::Base, palette().color(QPalette::Window));
    m_editOld->setPalette(same);

    auto* label2 = new QLabel(tr("新名称:"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(8, 46, 48, 20);
    m_editNew = new NameBox(NameRules::kMaxTypedBytes, this);
    m_editNew->setObjectName(QStringLiteral("edit_new"));
    m_editNew->setGeometry(56, 43, 273, 22);
    connect(m_editNew, &QLineEdit::returnPressed, this, &TEdi::SpeedButton1Click);

    auto* ok = new QPushButton(tr("确定(&O)"), this);
    ok->setObjectName(QStringLiteral("SpeedButton1"));
    ok->setGeometry(352, 10, 89, 27);
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TEdi::SpeedButton1Click);
    auto* cancel = new QPushButton(tr("取消(&C)"), this);
    cancel->setObjectName(QStringLiteral("FlatButton1"));
    cancel->setGeometry(352, 42, 89, 27);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &TEdi::FlatButton1Click);

    m_editNew->setFocus();
    centreOnScreen(*this);
}

QString TEdi::newName() const
{
    return m_editNew->text();
}

void TEdi::SpeedButton1Click()
{
    const QString name = m_editNew->text();
    if (NameRules::hasSpace(name)) {
        m_prompt.popup(PopupKind::Warning, tr("名称中不能包含空格字符"));
        return;
    }
    if (NameRules::hasGroupMarker(name)) {
        m_prompt.popup(PopupKind::Warning, tr("名称中不能包念ASSCII码1"));
        return;
    }
    if (name == m_editOld->text()) {
        m_prompt.popup(PopupKind::Tip, tr("新名称和名称是一样的"));
        return;
    }
    accept();
}

void TEdi::FlatButton1Click()
{
    reject();
}

} // namespace zarvo
