// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

// The three kinds of message popup. The numbers double as the ids of the kinds' icons.
enum class PopupKind {
    Tip = 111,
    Success = 222,
    Warning = 333,
};

// Where warnings are told: the message popups. The store tells through it and never asks;
// Prompt (view/prompt.h), through which commands ask and tell, is one.
class Popups
{
public:
    virtual ~Popups() = default;

    // A message popup of the given kind. Returns at once; never fails towards the caller.
    virtual void popup(PopupKind kind, const QString& text) = 0;
};

} // namespace zarvo
