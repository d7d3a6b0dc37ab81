// The program's started flag.
#include "player/application_state.h"

namespace {

int32_t ApplicationStarted = 0;

}  // namespace

void SetApplicationStarted()
{
    ApplicationStarted = 1;
}

int32_t IsApplicationStarted()
{
    return ApplicationStarted;
}
