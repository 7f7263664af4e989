#pragma once

// The harness of the benchmarks that drive the program's windows: one application, and for those that
// drive the main window one window, shown off screen, for every benchmark of the program.

#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <optional>

namespace vellumite::benchmarkwindow {

// The window the benchmarks work on, while runBenchmarks() runs.
inline TForm1 *form = nullptr;

// Lets the view lay out and paint what the last step changed.
inline void settle()
{
    QApplication::processEvents();
    form->VT()->viewport()->repaint();
}

// Every benchmark of the program, within an application whose windows are shown off screen unless
// QT_QPA_PLATFORM names another platform.
inline int runBenchmarksInApplication(int argc, char **argv, bool withMainWindow = false)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::optional<TForm1> window;
    if (withMainWindow) {
        window.emplace();
        window->show();
        form = &*window;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    form = nullptr;
    return 0;
}

// The body of main(): the application, the window, then every benchmark.
inline int runBenchmarks(int argc, char **argv)
{
    return runBenchmarksInApplication(argc, argv, true);
}

} // namespace vellumite::benchmarkwindow
