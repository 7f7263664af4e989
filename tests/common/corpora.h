#pragma once

#include <QFileInfo>
#include <QTest>

// The real browser files live beside the repository, not in it. A clone without them skips the tests
// that read them; with the folder present, a missing or unreadable file there still fails.
#define VELLUMITE_SKIP_WITHOUT_CORPORA()                                                                     \
    do {                                                                                                     \
        if (!QFileInfo(QStringLiteral(VELLUMITE_CORPORA)).isDir())                                           \
            QSKIP("the shared browser files (" VELLUMITE_CORPORA ") are not on this machine");               \
    } while (false)
