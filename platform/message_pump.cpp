#include "platform/message_pump.h"

int IntervalElapsed(uint32_t start, uint32_t now, uint32_t interval) {
    return (uint32_t)(now - start) >= interval;
}
