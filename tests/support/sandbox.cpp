// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace zarvo::test {

Sandbox::Sandbox()
{
    EXPECT_TRUE(m_dir.isValid());
}

SqliteStore& Sandbox::store()
{
    if (!m_store) {
        if (!QFileInfo::exists(storePath())) {
            QString error;
            EXPECT_TRUE(SqliteStore::create(storePath(), &error)) << error.toStdString();
        }
        SqliteStore::Opened opened = SqliteStore::open(storePath());
        EXPECT_EQ(opened.error, Store::OpenError::None) << opened.detail.toStdString();
        m_store = std::move(opened.store);
        if (!m_store)
            throw std::runtime_error("the sandbox store cannot be opened");
    }
    return *m_store;
}

QString Sandbox::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString file = path(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    out.write(bytes);
    return file;
}

QByteArray Sandbox::readFile(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

} // namespace zarvo::test
