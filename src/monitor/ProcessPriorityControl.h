// The notifier's priority switch over the process priority: indexing triggered by a change
// runs at idle priority and restores normal priority after it.
#pragma once

#include "monitor/Notifier.h"
#include "platform/Priority.h"

namespace vellumar {

class ProcessPriorityControl : public PriorityControl {
  public:
    void SetIdle() override { ProcessPriority::set(PriorityClass::Idle); }
    void SetNormal() override { ProcessPriority::set(PriorityClass::Normal); }
};

}  // namespace vellumar
