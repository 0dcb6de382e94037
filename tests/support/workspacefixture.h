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

// Commands against a workspace on a real store in a sandbox, without any window: the workspace
// asks and tells through a recording prompt, and its models and selections are plain objects.
class WorkspaceFixture : public ::testing::Test
{
protected:
    WorkspaceFixture();
    ~WorkspaceFixture() override;

    // A folder table with the pictures (source path, bytes), named after their files, and a
    // top-level node for it; the store is the sandbox's, which start() lets go of.
    void makeFolder(const QString& name, const QList<std::pair<QString, QByteArray>>& pictures);
    // Opens the sandbox store in a workspace and loads the tree (a failed load shows its warning).
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
};

} // namespace zarvo::test
