// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/formfixture.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace zarvo::test {

void FormFixture::SetUp()
{
    m_oldDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(box.dir()));
}

void FormFixture::TearDown()
{
    ws = nullptr;
    form.reset();
    box.closeStore();
    QDir::setCurrent(m_oldDir);
}

Form1& FormFixture::start()
{
    box.store();
    box.closeStore();
    form = std::make_unique<Form1>(&prompt);
    ws = &form->workspace();
    EXPECT_TRUE(form->FormCreate());
    form->show();
    return *form;
}

void FormFixture::onModal(std::function<void(QDialog*)> act)
{
    QTimer::singleShot(
        0, [act] { act(qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
}

} // namespace zarvo::test
