#pragma once

#include <QDeadlineTimer>
#include <QObject>

namespace vellumite {

// Two processes never work on one program folder, however each was started: the first holds a lock
// on the folder for its whole run, taken before the bookmark file is read, and a later start on the
// same folder hands over to it.
//
//   switch (claimProgramFolder(folder, QDeadlineTimer(20000))) {
//   case FolderClaim::HandedOver: return 0;
//   ...
//   }
//   folder.startListening(); // at once: a later start is answered while this one still starts
class FolderInstance : public QObject
{
    Q_OBJECT

public:
    enum class Claim {
        // This process holds the folder now, until the object is destroyed.
        Taken,
        // Another process holds it.
        Busy,
        // The folder cannot be locked at all (the file system refuses locks): the program runs unguarded.
        Unavailable,
    };
    // Takes the folder's lock when no other process holds it; never waits.
    virtual Claim claim() = 0;

    enum class Answer {
        Shown,
        // Nobody answered: the holder may still be starting, or ending.
        NoAnswer,
        // The holder belongs to another user: it cannot be asked to show anything here.
        OtherUser,
    };
    // Asks the process that holds the folder to show its window. Blocks for a short while at most.
    virtual Answer askHolderToShow() = 0;
    // Answers later starts on this folder from now on; false when this process does not hold the folder
    // or cannot listen.
    virtual bool startListening() = 0;

signals:
    // A later start on this folder asked this process to restore its window and bring it to the front.
    void showRequested();

protected:
    using QObject::QObject;
};

enum class FolderClaim {
    Taken,
    // The process holding the folder showed its window: this start ends.
    HandedOver,
    // Another user's process holds the folder.
    HeldByAnotherUser,
    // The holder neither answered nor let go before the deadline.
    StillBusy,
    // Runs unguarded (see FolderInstance::Claim::Unavailable).
    Unavailable,
};

// Claims the folder. While another process holds it, that one is asked to show its window until it
// answers (it may still be starting), the folder comes free (it has ended), or `deadline` passes.
FolderClaim claimProgramFolder(FolderInstance &folder, QDeadlineTimer deadline);

} // namespace vellumite
