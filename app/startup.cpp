// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include "app/form1.h"
#include "dialogs/tfles.h"
#include "view/language.h"
#include "widgets/fonts.h"
#include "widgets/msnpop.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QToolTip>

namespace zarvo {

namespace {

// Waits, painting and animating, while the user cannot act.
void waitFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// A message shown just before the program ends stays until it has slid out.
void waitForPopups(MsnPop* popups)
{
    if (!popups || popups->openCount() == 0)
        return;
    QEventLoop loop;
    QObject::connect(popups, &MsnPop::allClosed, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

std::unique_ptr<Form1> startZarvo(const StartupOptions& options)
{
    // The taskbar shows the window captions; the application name only names things like
    // temporary directories, so it holds no path separator.
    QApplication::setApplicationName(QStringLiteral("Zarvo"));
    QApplication::setQuitOnLastWindowClosed(false);
    installLanguage(true);
    QToolTip::setFont(songtiFont(12));

    auto form = std::make_unique<Form1>(options.prompt);
    if (!options.storePath.isEmpty())
        form->setStorePath(options.storePath);
    if (!form->FormCreate()) {
        waitForPopups(form->msnpop());
        return nullptr;
    }
    {
        Tfles fles;
        fles.show();
        fles.repaint();
        waitFor(options.splashMs);
    }
    form->showMaximized();
    return form;
}

int runZarvo(const QString& storePath)
{
    StartupOptions options;
    options.storePath = storePath;
    std::unique_ptr<Form1> form = startZarvo(options);
    if (!form)
        return 1;
    QObject::connect(
        form.get(), &Form1::exitFinished, qApp,
        [popups = form->msnpop()] {
            waitForPopups(popups);
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    return QApplication::exec();
}

} // namespace zarvo
