#include "books/BookGrid.h"

#include "platform/forms/Host.h"

namespace kiv {

HourglassPointer::HourglassPointer() {
    setMousePointer(Hourglass);
}

HourglassPointer::~HourglassPointer() {
    setMousePointer(0);
}

}  // namespace kiv
