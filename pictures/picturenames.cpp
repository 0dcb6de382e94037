// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/picturenames.h"

#include "store/gbtext.h"
#include "store/logging.h"
#include "store/namerules.h"
#include "store/store.h"

namespace zarvo {

namespace {
constexpr int kComeBytes = 150;
constexpr int kAutoRenameBaseBytes = 17;
} // namespace

QString pictureNameFromPath(const QString& path)
{
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return gbLeft(name, NameRules::kMaxPictureNameBytes);
}

QString comeFromPath(const QString& path)
{
    return gbLength(path) < kComeBytes ? path : gbRight(path, kComeBytes);
}

bool NameExists(Store& store, const QString& name, const QString& folder)
{
    try {
        return store.locate(folder, name).has_value();
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "looking up" << name << "in" << folder << "failed:" << e.what();
        return false;
    }
}

QString AutoRename(Store& store, const QString& name, const QString& folder)
{
    const QString base = gbLeft(name, kAutoRenameBaseBytes);
    for (qint64 n = 0;; ++n) {
        const QString candidate = base + QLatin1Char('(') + QString::number(n) + QLatin1Char(')');
        if (!NameExists(store, candidate, folder))
            return candidate;
    }
}

} // namespace zarvo
