// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFunctionPointer>
#include <QString>

// A module of the program: a library loaded at its first use rather than at every start (the
// libraries it brings along then load only for those who use it). It lies beside the program in
// the build and in lib/corvinatone as installed; the environment variable envVar may name
// another file. Once loaded it stays for the run, so what it hands out stays valid.
struct ProgramModule {
    const char* file;    // "libcorvinatone-wma.so"
    const char* envVar;  // "CORVINATONE_WMA_MODULE"
    const char* what;    // "the WMA encoder", for the message when it is missing

    // The module's function of that name. Throws std::runtime_error saying what is not
    // installed, and why, when the module cannot be loaded.
    QFunctionPointer function(const char* name) const;
};
