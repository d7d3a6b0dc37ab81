// The work objects of the face-drawing front end (its work region and point lists) start and
// end with the drawing layer. The renderer installs its routines at start-up; until then the
// drawing layer's start-up and shutdown have none to run.
#pragma once

class RegionWorkServices {
public:
    virtual ~RegionWorkServices() = default;
    virtual void PolyRgnStartup() {}
    virtual void PolyRgnShutdown() {}
};

// Installs the routines (null restores the empty ones); returns the ones installed before.
RegionWorkServices* InstallRegionWorkServices(RegionWorkServices* services);
RegionWorkServices& CurrentRegionWorkServices();
