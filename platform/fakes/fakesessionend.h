#pragma once

#include "platform/sessionend.h"

namespace vellumite {

// requestEnd() plays the session manager or a termination signal.
class FakeSessionEnd final : public SessionEnd
{
    Q_OBJECT

public:
    using SessionEnd::SessionEnd;

    void requestEnd(Reason reason) { emit endRequested(reason); }
};

} // namespace vellumite
