// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QString>

#include <ostream>

// Readable GoogleTest failure messages for the Qt values the folder view tests compare.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}

inline void PrintTo(const QList<int>& values, std::ostream* out)
{
    *out << '{';
    for (qsizetype i = 0; i < values.size(); ++i)
        *out << (i ? ", " : "") << values[i];
    *out << '}';
}
