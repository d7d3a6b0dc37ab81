// Default user-interface services and the hook that replaces them.
#include "foundation/ui_services.h"

#include <cstdio>

void UiServices::ShowAlert(const char* text)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
}

namespace {
UiServices gDefaultServices;
UiServices* gServices = &gDefaultServices;
}  // namespace

UiServices* InstallUiServices(UiServices* services)
{
    UiServices* previous = gServices;
    gServices = services ? services : &gDefaultServices;
    return previous;
}

UiServices& CurrentUiServices()
{
    return *gServices;
}
