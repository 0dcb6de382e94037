// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "support/recordingprompt.h"
#include "support/sandbox.h"
#include "view/workspace.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace zarvo::test {

// Which engine a workspace test runs on: the sandbox's data.mdb, or a fresh schema on the tests'
// PostgreSQL server.
enum class Engine { File, Server };

// Commands against a workspace on a real store in a sandbox, without any window: the workspace
// asks and tells through a recording prompt, and its models and selections are plain objects.
class WorkspaceFixture : public ::testing::Test
{
protected:
    explicit WorkspaceFixture(Engine engine = Engine::File);
    ~WorkspaceFixture() override;

    // The store the test prepares before start(): the sandbox's file (which start() lets go of)
    // or the server schema (whose connection stays open beside the workspace's).
    Store& store();
    // The name the workspace opens the store by: a path or a connection URI.
    QString storeName() const;
    Engine engine() const { return m_engine; }

    // A folder table with the pictures (source path, bytes), named after their files, and a
    // top-level node for it.
    void makeFolder(const QString& name, const QList<std::pair<QString, QByteArray>>& pictures);
    // Opens the store in a workspace and loads the tree (a failed load shows its warning).
    Workspace& start();

    // Selects the node shown as displayName and clicks it.
    void clickNode(const QString& displayName);
    void selectNode(const QString& displayName);
    // The node whose full text (group marker included) is `text`, first in walk order.
    QModelIndex node(const QString& text) const;
    QStringList captions() const;
    // Selects exactly these rows of the folder view.
    void select(const QList<int>& rows);
    QStringList rowNames(const QString& folder) const;

    Sandbox box;
    RecordingPrompt prompt;
    Workspace* ws = nullptr; // set by start()

private:
    struct Models;
    std::unique_ptr<Models> m_models;
    Engine m_engine;
    QString m_serverName;
    std::unique_ptr<Store> m_server;
};

// A suite of workspace commands that runs on both engines: TEST_P(Suite, ...) with
// ZARVO_ON_BOTH_ENGINES(Suite) once in the file; the test program needs the server (ON_SERVER).
class BothEngines : public WorkspaceFixture, public ::testing::WithParamInterface<Engine>
{
protected:
    BothEngines()
        : WorkspaceFixture(GetParam())
    {
    }
};

#define ZARVO_ON_BOTH_ENGINES(Suite)                                                               \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                                       \
        ::testing::Values(::zarvo::test::Engine::File, ::zarvo::test::Engine::Server),             \
        [](const auto& engine) {                                                                   \
            return std::string(engine.param == ::zarvo::test::Engine::File ? "File" : "Server");   \
        })

} // namespace zarvo::test
