#pragma once

#include "platform/singleinstance.h"

namespace vellumite {

// A single instance whose answers the test sets; requestShow() plays a later start.
class FakeSingleInstance final : public SingleInstance
{
    Q_OBJECT

public:
    using SingleInstance::SingleInstance;

    bool tryBecomeFirst() override { return m_first; }
    bool askFirstToShow() override
    {
        ++m_showRequestsSent;
        return m_firstAnswers;
    }
    bool startListening() override
    {
        m_listening = m_first;
        return m_listening;
    }

    void setFirst(bool first) { m_first = first; }
    void setFirstAnswers(bool answers) { m_firstAnswers = answers; }
    bool isListening() const { return m_listening; }
    int showRequestsSent() const { return m_showRequestsSent; }
    void requestShow() { emit showRequested(); }

private:
    bool m_first = true;
    bool m_firstAnswers = false;
    bool m_listening = false;
    int m_showRequestsSent = 0;
};

} // namespace vellumite
