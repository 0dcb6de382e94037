// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// Defines ZARVO_ADDRESS_SANITIZER when the code is built with AddressSanitizer (GCC names it
// __SANITIZE_ADDRESS__, Clang answers __has_feature).
#if defined(__SANITIZE_ADDRESS__)
#define ZARVO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZARVO_ADDRESS_SANITIZER 1
#endif
#endif
