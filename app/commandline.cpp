// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/commandline.h"

#include "store/store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& environmentStore)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Texts::tr("Zarvo 图片存储/浏览工具"));
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, Texts::tr("显示本帮助"));
    const QCommandLineOption version(QStringLiteral("version"), Texts::tr("显示版本"));
    const QCommandLineOption store(QStringLiteral("store"),
        Texts::tr("打开图片库 NAME: 一个文件, 或 postgresql:// 开头的服务器连接 (默认: 环境变量 "
                  "ZARVO_STORE, 否则当前目录的 data.mdb)"),
        QStringLiteral("NAME"));
    parser.addOptions({ help, version, store });
    // Qt's own options, which the application object takes (-platform xcb, -display :1, ...).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* qtOption : { "platform", "display", "style", "stylesheet", "geometry" }) {
        QCommandLineOption option(QString::fromLatin1(qtOption));
        option.setValueName(QStringLiteral("VALUE"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine line;
    const QString usage = parser.helpText();
    if (!parser.parse(arguments)) {
        line.status = 2;
        line.error = parser.errorText() + QLatin1Char('\n') + usage;
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.status = 2;
        line.error
            = Texts::tr("多余的参数: %1").arg(parser.positionalArguments().join(QLatin1Char(' ')))
            + QLatin1Char('\n') + usage;
        return line;
    }
    if (parser.isSet(help)) {
        line.output = usage;
        return line;
    }
    if (parser.isSet(version)) {
        line.output = QStringLiteral("zarvo %1\n").arg(QStringLiteral(ZARVO_VERSION));
        return line;
    }
    QString name = parser.isSet(store) ? parser.value(store) : environmentStore;
    if (name.isEmpty())
        name = QStringLiteral("data.mdb");
    line.run = true;
    // A server's connection URI is used as it is; a file is found from the working directory.
    line.store = Store::isServer(name) ? name : QDir::current().absoluteFilePath(name);
    return line;
}

} // namespace zarvo
