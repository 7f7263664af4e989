#pragma once

#include "platform/singleinstance.h"

#include <QString>
#include <memory>

class QLockFile;

namespace vellumite {

class ShowRequestServer;

// The first instance holds a lock file and answers on a local socket; both are named after the
// application title and the user, in the user's runtime folder. A lock left by a process that died
// is taken over.
class LocalSingleInstance final : public SingleInstance
{
    Q_OBJECT

public:
    // `folder`: where the lock and the socket live; empty for the user's runtime folder.
    explicit LocalSingleInstance(const QString &applicationTitle, const QString &folder = {},
                                 QObject *parent = nullptr);
    ~LocalSingleInstance() override;

    bool tryBecomeFirst() override;
    bool askFirstToShow() override;
    bool startListening() override;

    QString lockFilePath() const;
    QString serverPath() const;

private:
    QString m_basePath;
    std::unique_ptr<QLockFile> m_lock;
    ShowRequestServer *m_server = nullptr;
};

} // namespace vellumite
