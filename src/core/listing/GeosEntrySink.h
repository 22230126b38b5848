#pragma once

#include <string>

namespace qv {

class DiskImage;

// Receives each GEOS entry of a listing run, with the image positioned at the
// entry's info-block link. The GEOS catalogue is one; the listing does not need to
// know it.
class GeosEntrySink {
  public:
    virtual ~GeosEntrySink() = default;
    virtual void addGeosEntry(DiskImage& image, const std::string& name,
                              const std::string& typeText, int firstBlockOffset, int dosType) = 0;
};

}  // namespace qv
