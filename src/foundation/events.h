// Event types. An empty std::function is an unassigned event; firing one is a
// single branch.
#pragma once

#include <cstdint>
#include <functional>

namespace nuv {

class TObject;

using TNotifyEvent = std::function<void(TObject* Sender)>;
/// (Sender, percentage 0..100)
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t PercentDone)>;
/// (Sender, kind of exchange, the two exchanged indices, two further integers)
using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgWhat, int32_t Index1,
                                           int32_t Index2, int32_t First, int32_t Last)>;
/// (Sender, abort flag the handler may set)
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;

/// Process-wide progress procedure, called with the new value of ProcStat.
using TMathFeedBackProc = std::function<void(double ProcStat)>;

}  // namespace nuv
