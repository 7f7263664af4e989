#pragma once

#include <QObject>

namespace vellumite {

// One running instance per user. A later start asks the first one to bring its window to the front and
// ends; when no first instance answers, the later one starts as usual.
//
//   if (!instance.tryBecomeFirst() && instance.askFirstToShow())
//       return 0;
//   ... create the main window, connect showRequested to it ...
//   instance.startListening();
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // True when no other instance runs; this one then holds the name until it is destroyed.
    virtual bool tryBecomeFirst() = 0;
    // Asks the first instance to show its window; true once it has answered. Blocks for a short while
    // at most.
    virtual bool askFirstToShow() = 0;
    // The first instance answers later starts from now on (call it once the window exists); false when
    // this instance is not the first or cannot listen.
    virtual bool startListening() = 0;

signals:
    // A later start asked this (first) instance to restore its window and bring it to the front.
    void showRequested();

protected:
    using QObject::QObject;
};

} // namespace vellumite
