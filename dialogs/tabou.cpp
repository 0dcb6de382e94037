// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tabou.h"

#include "dialogs/screencentre.h"
#include "view/language.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QWindow>

namespace zarvo {

namespace {

constexpr int AboutWidth = 379;
constexpr int AboutHeight = 226;

} // namespace

Tabou::Tabou(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tabou"));
    setWindowTitle(tr("关于"));
    setModal(false);
    setFixedSize(AboutWidth, AboutHeight);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(0, 0, AboutWidth, AboutHeight);
    m_image1->setPixmap(QPixmap(languagePicture(QStringLiteral("about.png"))));
    m_image1->installEventFilter(this);

    centreOnScreen(*this);
}

bool Tabou::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_image1)
        return QDialog::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        // Let the window manager move the window where it can; otherwise follow the mouse.
        if (QWindow* handle = windowHandle(); handle && handle->startSystemMove())
            return true;
        m_dragging = true;
        m_pressGlobal = mouse->globalPosition().toPoint();
        m_pressWindowPos = pos();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_dragging || !(mouse->buttons() & Qt::LeftButton))
            break;
        move(m_pressWindowPos + mouse->globalPosition().toPoint() - m_pressGlobal);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && m_dragging) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zarvo
