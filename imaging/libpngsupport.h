// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// What the PNG decoder and encoder share of libpng: its error and warning handlers.

#include <cstdio>

#include <png.h>

namespace zarvo::libpng {

// The error pointer of a libpng struct (png_create_*_struct(..., &errorText, onError,
// onWarning)): libpng's message, readable by the caller after the codec function returned.
struct ErrorText
{
    char text[256] = {};
};

// Keeps libpng's message and jumps back to the setjmp of the one codec function.
[[noreturn]] inline void onError(png_structp png, png_const_charp message)
{
    auto* error = static_cast<ErrorText*>(png_get_error_ptr(png));
    std::snprintf(error->text, sizeof error->text, "%s", message);
    png_longjmp(png, 1);
}

// Warnings, and the errors libpng counts as benign when reading, change no result.
inline void onWarning(png_structp, png_const_charp) { }

} // namespace zarvo::libpng
