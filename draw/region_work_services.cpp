// The installed region work routines.
#include "draw/region_work_services.h"

namespace {
RegionWorkServices gNoRegionWork;
RegionWorkServices* gRegionWork = &gNoRegionWork;
}  // namespace

RegionWorkServices* InstallRegionWorkServices(RegionWorkServices* services)
{
    RegionWorkServices* previous = gRegionWork;
    gRegionWork = services ? services : &gNoRegionWork;
    return previous;
}

RegionWorkServices& CurrentRegionWorkServices()
{
    return *gRegionWork;
}
