// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tad.h"

#include "dialogs/namebox.h"
#include "dialogs/screencentre.h"
#include "store/namerules.h"
#include "view/language.h"
#include "view/prompt.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace zarvo {

namespace {

// The large illustration `name` in the program's language (the small ones have no words).
QPixmap picture(const QString& name)
{
    return QPixmap(languagePicture(QStringLiteral("tad/%1.png").arg(name)));
}

const char* const kRadioCaptions[4] = { QT_TRANSLATE_NOOP("zarvo::Tad", "添加同级树结构(&T)"),
    QT_TRANSLATE_NOOP("zarvo::Tad", "添加下级树结构(&D)"),
    QT_TRANSLATE_NOOP("zarvo::Tad", "添加同级文件夹(&F)"),
    QT_TRANSLATE_NOOP("zarvo::Tad", "添加下级文件夹(&L)") };

} // namespace

Tad::Tad(NodeSituation situation, Prompt& prompt, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
    , m_prompt(prompt)
{
    setObjectName(QStringLiteral("Tad"));
    setWindowTitle(tr("Add Tree/Folder"));
    setFixedSize(667, 365);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(2, 2, 369, 361);
    m_image6 = new QLabel(this);
    m_image6->setObjectName(QStringLiteral("Image6"));
    m_image6->setGeometry(m_image1->geometry());
    m_image6->hide();

    auto* nameLabel = new QLabel(tr("名称:"), this);
    nameLabel->setObjectName(QStringLiteral("Label1"));
    nameLabel->setGeometry(386, 18, 40, 22);
    m_edit1 = new NameBox(NameRules::kMaxTypedBytes, this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setGeometry(428, 16, 225, 24);
    m_edit1->setToolTip(tr("输入你想要添加的文件夹/树结构的名称"));
    m_edit1->installEventFilter(this);
    connect(m_edit1, &QLineEdit::returnPressed, this, &Tad::SpeedButton1Click);

    auto* group = new QGroupBox(tr("请选择"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(386, 54, 267, 250);
    for (int i = 0; i < 4; ++i) {
        auto* small = new QLabel(group);
        small->setObjectName(QStringLiteral("small%1").arg(i + 1));
        small->setGeometry(12, 22 + i * 56, 59, 50);
        small->setPixmap(QPixmap(QStringLiteral(":/images/tad/small%1.png").arg(i + 1)));
        m_radio[i] = new QRadioButton(tr(kRadioCaptions[i]), group);
        m_radio[i]->setObjectName(QStringLiteral("radio%1").arg(i + 1));
        m_radio[i]->setGeometry(80, 36 + i * 56, 180, 22);
        connect(m_radio[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                showPreview(i + 1);
        });
        connect(m_radio[i], &QRadioButton::clicked, this, [this, i] { showPreview(i + 1); });
    }

    m_ok = new QPushButton(tr("确定(&O)"), this);
    m_ok->setObjectName(QStringLiteral("SpeedButton1"));
    m_ok->setGeometry(470, 320, 89, 30);
    m_ok->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &Tad::SpeedButton1Click);
    m_cancel = new QPushButton(tr("取消(&C)"), this);
    m_cancel->setObjectName(QStringLiteral("FlatButton1"));
    m_cancel->setGeometry(564, 320, 89, 30);
    m_cancel->setAutoDefault(false);
    m_cancel->installEventFilter(this);
    connect(m_cancel, &QPushButton::clicked, this, &Tad::FlatButton1Click);

    showPreview(1);
    const int enabled[3][4] = { { 1, 0, 0, 0 }, { 1, 1, 1, 1 }, { 0, 0, 1, 0 } };
    const int row = std::clamp(int(situation), 0, 2);
    for (int i = 0; i < 4; ++i)
        m_radio[i]->setEnabled(enabled[row][i]);
    m_radio[row == 2 ? 2 : 0]->setChecked(true);

    centreOnScreen(*this);
}

NodePlacement Tad::run()
{
    m_placement = NodePlacement::Cancel;
    exec();
    return m_placement;
}

QString Tad::name() const
{
    return m_edit1->text();
}

int Tad::previewNumber() const
{
    return m_image6->isVisible() ? 5 : m_preview;
}

void Tad::showPreview(int number)
{
    m_preview = number;
    m_image1->setPixmap(picture(QString::number(number)));
}

void Tad::showEvent(QShowEvent* event)
{
    m_edit1->clear();
    m_edit1->setFocus();
    QDialog::showEvent(event);
}

bool Tad::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cancel) {
        if (event->type() == QEvent::Enter) {
            m_image6->setPixmap(picture(QStringLiteral("5")));
            m_image6->show();
            m_image6->raise();
        } else if (event->type() == QEvent::Leave) {
            m_image6->hide();
        }
    } else if (watched == m_edit1 && event->type() == QEvent::Enter) {
        m_edit1->setFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void Tad::SpeedButton1Click()
{
    const QString name = m_edit1->text();
    if (NameRules::hasGroupMarker(name)) {
        m_prompt.popup(PopupKind::Warning, tr("在你的名称中不能存在ASCII码1"));
        return;
    }
    if (NameRules::hasSpace(name)) {
        m_prompt.popup(PopupKind::Warning, tr("在你的名称中不能存在空格字符"));
        return;
    }
    if (name.isEmpty()) {
        m_prompt.popup(PopupKind::Tip, tr("请输入树名或文件夹名"));
        m_edit1->setFocus();
        return;
    }
    for (int i = 0; i < 4; ++i) {
        if (m_radio[i]->isChecked()) {
            m_placement = NodePlacement(i + 1);
            break;
        }
    }
    accept();
}

void Tad::FlatButton1Click()
{
    m_placement = NodePlacement::Cancel;
    QDialog::reject();
}

void Tad::reject()
{
    // Escape or the window manager's close: the same as Cancel.
    FlatButton1Click();
}

} // namespace zarvo
