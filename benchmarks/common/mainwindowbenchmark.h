#pragma once

// The harness of the benchmarks that drive the main window: one window, shown off screen, for every
// benchmark of the program.

#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace vellumite::benchmarkwindow {

// The window the benchmarks work on, while runBenchmarks() runs.
inline TForm1 *form = nullptr;

// Lets the view lay out and paint what the last step changed.
inline void settle()
{
    QApplication::processEvents();
    form->VT()->viewport()->repaint();
}

// The body of main(): the application, the window, then every benchmark.
inline int runBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TForm1 window;
    window.show();
    form = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    form = nullptr;
    return 0;
}

} // namespace vellumite::benchmarkwindow
